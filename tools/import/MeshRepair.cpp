#include "MeshRepair.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

// Below this squared length a vector has no usable direction.
constexpr float kTinySquared = 1e-20f;

bool usable(Float3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && dot(v, v) > kTinySquared;
}

// Some unit vector perpendicular to n (n unit length).
Float3 anyPerpendicular(Float3 n)
{
    Float3 axis = std::fabs(n.x) < 0.9f ? Float3{1, 0, 0} : Float3{0, 1, 0};
    return normalize(cross(axis, n));
}

}  // namespace

std::vector<Float3> faceNormalsPerVertex(const std::vector<ObjectVertex>& vertices,
                                         const std::vector<uint32_t>& indices)
{
    std::vector<Float3> sums(vertices.size());
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const Float3 a = vertices[indices[i]].position;
        const Float3 face = cross(vertices[indices[i + 1]].position - a, vertices[indices[i + 2]].position - a);
        if (!usable(face))
            continue;
        for (size_t k = 0; k < 3; ++k)
            sums[indices[i + k]] = sums[indices[i + k]] + face;
    }
    for (Float3& s : sums)
        s = usable(s) ? normalize(s) : Float3{};
    return sums;
}

bool completeTangentFrame(ObjectVertex& v, Float3 fallbackNormal)
{
    bool normalKept = usable(v.normal);
    Float3 n = normalKept ? v.normal : usable(fallbackNormal) ? fallbackNormal : Float3{0, 1, 0};
    n = normalize(n);

    Float3 t = usable(v.tangent) ? v.tangent - n * dot(n, v.tangent) : Float3{};
    t = usable(t) ? normalize(t) : anyPerpendicular(n);

    Float3 b = cross(n, t);
    if (usable(v.binormal) && dot(b, v.binormal) < 0.0f)
        b = -b;

    v.normal = n;
    v.tangent = t;
    v.binormal = b;
    return normalKept;
}

size_t orientTrianglesToNormals(const std::vector<ObjectVertex>& vertices, std::vector<uint32_t>& indices)
{
    size_t reversed = 0;
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const ObjectVertex& a = vertices[indices[i]];
        const ObjectVertex& b = vertices[indices[i + 1]];
        const ObjectVertex& c = vertices[indices[i + 2]];
        const Float3 face = cross(b.position - a.position, c.position - a.position);
        if (!usable(face))
            continue;
        if (dot(face, a.normal + b.normal + c.normal) < 0.0f) {
            std::swap(indices[i + 1], indices[i + 2]);
            ++reversed;
        }
    }
    return reversed;
}

std::vector<std::pair<float, float>> planarTexCoords(const std::vector<Float3>& positions)
{
    std::vector<std::pair<float, float>> coords(positions.size());
    if (positions.empty())
        return coords;
    Float3 lo = positions[0], hi = positions[0];
    for (const Float3& p : positions) {
        lo = minComponents(lo, p);
        hi = maxComponents(hi, p);
    }
    const float extent[3] = {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
    // The axis of smallest extent is the one projected away; the other two keep their order.
    int dropped = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (extent[axis] < extent[dropped])
            dropped = axis;
    const int u = dropped == 0 ? 1 : 0;
    const int v = dropped == 2 ? 1 : 2;
    const float scale = std::max(std::max(extent[u], extent[v]), 1e-12f);
    const float low[3] = {lo.x, lo.y, lo.z};
    for (size_t i = 0; i < positions.size(); ++i) {
        const float p[3] = {positions[i].x, positions[i].y, positions[i].z};
        coords[i] = {(p[u] - low[u]) / scale, (p[v] - low[v]) / scale};
    }
    return coords;
}

}  // namespace Orvanta
