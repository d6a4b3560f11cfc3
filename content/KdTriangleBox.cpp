#include "content/KdTriangleBox.h"

#include <cmath>
#include <limits>

namespace Orvanta {

namespace {

void toArray(const Float3& p, float out[3])
{
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

bool pointInBox(const float lo[3], const float hi[3], const float p[3])
{
    for (int a = 0; a < 3; ++a)
        if (!(lo[a] <= p[a] && p[a] <= hi[a]))
            return false;
    return true;
}

// The segment from p along unit direction e (reciprocals inv) for length len against the three
// slabs. A direction component of zero leaves the slab unbounded when p lies in it and rules the
// segment out otherwise (1/0 times a zero distance would give NaN).
bool segmentCrossesBox(const float lo[3], const float hi[3], const float p[3], const float e[3],
                       const float inverse[3], float len)
{
    float enter = -std::numeric_limits<float>::infinity();
    float exit = std::numeric_limits<float>::infinity();
    for (int a = 0; a < 3; ++a) {
        if (e[a] == 0.0f) {
            if (p[a] < lo[a] || p[a] > hi[a])
                return false;
            continue;
        }
        const float inv = inverse[a];
        float t0 = (lo[a] - p[a]) * inv, t1 = (hi[a] - p[a]) * inv;
        if (inv < 0.0f) {
            const float s = t0;
            t0 = t1;
            t1 = s;
        }
        if (t0 > enter)
            enter = t0;
        if (t1 < exit)
            exit = t1;
    }
    return enter <= exit && enter < len && exit > 0.0f;
}

bool boxEdgeCrossesTriangle(const float p[3], const float e[3], float len, const TriAccel& t)
{
    const uint32_t k = t.k, u = kTriAccelAxisU[k], v = kTriAccelAxisV[k];
    const float dist = (t.nD - p[k] - t.nU * p[u] - t.nV * p[v]) / (e[k] + t.nU * e[u] + t.nV * e[v]);
    if (!(dist >= 0.0f && dist <= len))
        return false;
    const float hu = p[u] + dist * e[u], hv = p[v] + dist * e[v];
    const float beta = t.betaU * hu + t.betaV * hv + t.betaD;
    if (!(beta > 0.0f))
        return false;
    const float gamma = t.gammaU * hu + t.gammaV * hv + t.gammaD;
    return gamma > 0.0f && beta + gamma < 1.0f;
}

}  // namespace

TriangleBoxEdges prepareTriangleBoxEdges(const Float3 v[3], const TriAccel& accel)
{
    TriangleBoxEdges edges{};
    for (int j = 0; j < 3; ++j)
        toArray(v[j], edges.corner[j]);
    for (int j = 0; j < 3; ++j) {
        const float* a = edges.corner[j];
        const float* b = edges.corner[(j + 1) % 3];
        const float d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        edges.length[j] = len;
        if (!(len > 0.0f))
            continue;  // a repeated vertex: the edge is skipped
        for (int a2 = 0; a2 < 3; ++a2) {
            edges.direction[j][a2] = d[a2] / len;
            if (edges.direction[j][a2] != 0.0f)
                edges.inverse[j][a2] = 1.0f / edges.direction[j][a2];
        }
    }
    edges.degenerate = isDegenerateTriAccel(accel);
    return edges;
}

bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const Float3 v[3],
                         const TriAccel& accel)
{
    return triangleOverlapsBox(boxMin, boxMax, prepareTriangleBoxEdges(v, accel), accel);
}

bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const TriangleBoxEdges& edges,
                         const TriAccel& accel)
{
    float lo[3], hi[3];
    toArray(boxMin, lo);
    toArray(boxMax, hi);

    for (int j = 0; j < 3; ++j)
        if (pointInBox(lo, hi, edges.corner[j]))
            return true;

    for (int j = 0; j < 3; ++j) {
        // A repeated vertex (no length) is covered by the vertex test.
        if (edges.length[j] > 0.0f &&
            segmentCrossesBox(lo, hi, edges.corner[j], edges.direction[j], edges.inverse[j], edges.length[j]))
            return true;
    }

    if (edges.degenerate)
        return false;
    // The 12 box edges: from each corner with a given bit clear along one axis to its neighbour.
    for (int axis = 0; axis < 3; ++axis) {
        const float len = hi[axis] - lo[axis];
        if (!(len > 0.0f))
            continue;
        float e[3] = {0.0f, 0.0f, 0.0f};
        e[axis] = 1.0f;
        const int o1 = (axis + 1) % 3, o2 = (axis + 2) % 3;
        for (int corner = 0; corner < 4; ++corner) {
            float start[3];
            start[axis] = lo[axis];
            start[o1] = (corner & 1) ? hi[o1] : lo[o1];
            start[o2] = (corner & 2) ? hi[o2] : lo[o2];
            if (boxEdgeCrossesTriangle(start, e, len, accel))
                return true;
        }
    }
    return false;
}

}  // namespace Orvanta
