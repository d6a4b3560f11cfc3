#include "content/KdTriangleBox.h"

#include <cmath>
#include <limits>

#if defined(__x86_64__)
#include "scene/SimdLanes.h"
#endif

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

// The segment from p along unit direction e for length len against the three slabs. A direction
// component of zero leaves the slab unbounded when p lies in it and rules the segment out
// otherwise (1/0 times a zero distance would give NaN).
bool segmentCrossesBox(const float lo[3], const float hi[3], const float p[3], const float e[3], float len)
{
    float enter = -std::numeric_limits<float>::infinity();
    float exit = std::numeric_limits<float>::infinity();
    for (int a = 0; a < 3; ++a) {
        if (e[a] == 0.0f) {
            if (p[a] < lo[a] || p[a] > hi[a])
                return false;
            continue;
        }
        const float inv = 1.0f / e[a];
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

bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const Float3 v[3], const TriAccel& accel)
{
    float lo[3], hi[3], p[3][3];
    toArray(boxMin, lo);
    toArray(boxMax, hi);
    for (int j = 0; j < 3; ++j)
        toArray(v[j], p[j]);

    for (int j = 0; j < 3; ++j)
        if (pointInBox(lo, hi, p[j]))
            return true;

    for (int j = 0; j < 3; ++j) {
        const float* a = p[j];
        const float* b = p[(j + 1) % 3];
        const float d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (!(len > 0.0f))
            continue;  // a repeated vertex; the vertex test covered it
        const float e[3] = {d[0] / len, d[1] / len, d[2] / len};
        if (segmentCrossesBox(lo, hi, a, e, len))
            return true;
    }

    if (isDegenerateTriAccel(accel))
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

TriangleBoxEdges prepareTriangleBoxEdges(const Float3 v[3], const TriAccel& accel)
{
    TriangleBoxEdges edges{};
    float p[3][3];
    for (int j = 0; j < 3; ++j)
        toArray(v[j], p[j]);
    for (int a = 0; a < 3; ++a) {
        for (int j = 0; j < 3; ++j)
            edges.corner[a][j] = p[j][a];
        edges.corner[a][3] = p[0][a];
    }
    for (int j = 0; j < 3; ++j) {
        const float* a = p[j];
        const float* b = p[(j + 1) % 3];
        const float d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        edges.length[j] = len;
        if (!(len > 0.0f))
            continue;  // a repeated vertex: the edge is skipped
        for (int axis = 0; axis < 3; ++axis) {
            const float e = d[axis] / len;
            edges.direction[axis][j] = e;
            if (e != 0.0f)
                edges.inverse[axis][j] = 1.0f / e;
        }
    }
    edges.degenerate = isDegenerateTriAccel(accel) ? 1u : 0u;
    return edges;
}

#if defined(__x86_64__)

bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const TriangleBoxEdges& t, const TriAccel& accel)
{
    float lo[3], hi[3];
    toArray(boxMin, lo);
    toArray(boxMax, hi);

    // A vertex in the box.
    __m128 inside = _mm_castsi128_ps(_mm_set1_epi32(-1));
    for (int a = 0; a < 3; ++a) {
        const __m128 p = _mm_load_ps(t.corner[a]);
        inside = _mm_and_ps(inside,
                            _mm_and_ps(_mm_cmple_ps(_mm_set1_ps(lo[a]), p), _mm_cmple_ps(p, _mm_set1_ps(hi[a]))));
    }
    if (_mm_movemask_ps(inside))
        return true;

    // An edge crossing the box: the slab clipping of segmentCrossesBox, one edge per lane. A lane
    // with a zero direction component skips that slab, or is out when it starts outside it.
    const __m128 len = _mm_load_ps(t.length);
    __m128 live = _mm_cmpgt_ps(len, _mm_setzero_ps());
    __m128 enter = _mm_set1_ps(-std::numeric_limits<float>::infinity());
    __m128 exit = _mm_set1_ps(std::numeric_limits<float>::infinity());
    for (int a = 0; a < 3; ++a) {
        const __m128 p = _mm_load_ps(t.corner[a]), e = _mm_load_ps(t.direction[a]);
        const __m128 inv = _mm_load_ps(t.inverse[a]);
        const __m128 slabLo = _mm_set1_ps(lo[a]), slabHi = _mm_set1_ps(hi[a]);
        const __m128 flat = _mm_cmpeq_ps(e, _mm_setzero_ps());
        const __m128 outside = _mm_or_ps(_mm_cmplt_ps(p, slabLo), _mm_cmpgt_ps(p, slabHi));
        live = _mm_andnot_ps(_mm_and_ps(flat, outside), live);
        const __m128 t0 = _mm_mul_ps(_mm_sub_ps(slabLo, p), inv), t1 = _mm_mul_ps(_mm_sub_ps(slabHi, p), inv);
        const __m128 negative = _mm_cmplt_ps(inv, _mm_setzero_ps());
        const __m128 near = Lanes4::select(negative, t1, t0), far = Lanes4::select(negative, t0, t1);
        enter = Lanes4::select(_mm_andnot_ps(flat, _mm_cmpgt_ps(near, enter)), near, enter);
        exit = Lanes4::select(_mm_andnot_ps(flat, _mm_cmplt_ps(far, exit)), far, exit);
    }
    const __m128 crosses = _mm_and_ps(_mm_and_ps(live, _mm_cmple_ps(enter, exit)),
                                      _mm_and_ps(_mm_cmplt_ps(enter, len), _mm_cmpgt_ps(exit, _mm_setzero_ps())));
    if (_mm_movemask_ps(crosses))
        return true;

    if (t.degenerate)
        return false;
    // A box edge crossing the triangle: boxEdgeCrossesTriangle for the four edges along one axis
    // at a time, one per lane.
    const uint32_t k = accel.k, u = kTriAccelAxisU[k], v = kTriAccelAxisV[k];
    for (int axis = 0; axis < 3; ++axis) {
        const float length = hi[axis] - lo[axis];
        if (!(length > 0.0f))
            continue;
        float e[3] = {0.0f, 0.0f, 0.0f};
        e[axis] = 1.0f;
        const float denominator = e[k] + accel.nU * e[u] + accel.nV * e[v];
        const int o1 = (axis + 1) % 3, o2 = (axis + 2) % 3;
        __m128 p[3];
        p[axis] = _mm_set1_ps(lo[axis]);
        p[o1] = _mm_set_ps(hi[o1], lo[o1], hi[o1], lo[o1]);  // lanes 0..3: corner bit 0
        p[o2] = _mm_set_ps(hi[o2], hi[o2], lo[o2], lo[o2]);  // corner bit 1
        const __m128 numerator = _mm_sub_ps(
            _mm_sub_ps(_mm_sub_ps(_mm_set1_ps(accel.nD), p[k]), _mm_mul_ps(_mm_set1_ps(accel.nU), p[u])),
            _mm_mul_ps(_mm_set1_ps(accel.nV), p[v]));
        const __m128 dist = _mm_div_ps(numerator, _mm_set1_ps(denominator));
        const __m128 onEdge = _mm_and_ps(_mm_cmpge_ps(dist, _mm_setzero_ps()), _mm_cmple_ps(dist, _mm_set1_ps(length)));
        const __m128 hu = _mm_add_ps(p[u], _mm_mul_ps(dist, _mm_set1_ps(e[u])));
        const __m128 hv = _mm_add_ps(p[v], _mm_mul_ps(dist, _mm_set1_ps(e[v])));
        const __m128 beta = _mm_add_ps(
            _mm_add_ps(_mm_mul_ps(_mm_set1_ps(accel.betaU), hu), _mm_mul_ps(_mm_set1_ps(accel.betaV), hv)),
            _mm_set1_ps(accel.betaD));
        const __m128 gamma = _mm_add_ps(
            _mm_add_ps(_mm_mul_ps(_mm_set1_ps(accel.gammaU), hu), _mm_mul_ps(_mm_set1_ps(accel.gammaV), hv)),
            _mm_set1_ps(accel.gammaD));
        const __m128 inTriangle = _mm_and_ps(
            _mm_and_ps(_mm_cmpgt_ps(beta, _mm_setzero_ps()), _mm_cmpgt_ps(gamma, _mm_setzero_ps())),
            _mm_cmplt_ps(_mm_add_ps(beta, gamma), _mm_set1_ps(1.0f)));
        if (_mm_movemask_ps(_mm_and_ps(onEdge, inTriangle)))
            return true;
    }
    return false;
}

#else

// Without SSE2 the prepared corners go through the written test.
bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const TriangleBoxEdges& t, const TriAccel& accel)
{
    Float3 v[3];
    for (int j = 0; j < 3; ++j)
        v[j] = {t.corner[0][j], t.corner[1][j], t.corner[2][j]};
    return triangleOverlapsBox(boxMin, boxMax, v, accel);
}

#endif

}  // namespace Orvanta
