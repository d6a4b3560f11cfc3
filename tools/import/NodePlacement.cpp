#include "NodePlacement.h"

#include "MeshRepair.h"

#include <cmath>
#include <utility>

namespace Orvanta {

namespace {

// Axes whose normalised directions are closer to orthogonal than this count as orthogonal; the
// rotations of real files carry float noise far below it.
constexpr float kOrthogonalTolerance = 1e-4f;
// A scale below this has collapsed an axis: no rotation can be read from it.
constexpr float kSmallestScale = 1e-12f;

Float3 column(const Matrix4& m, int c)
{
    return {m[c * 4], m[c * 4 + 1], m[c * 4 + 2]};
}

}  // namespace

Quaternion quaternionFromAxes(Float3 x, Float3 y, Float3 z)
{
    // The largest of w, x, y, z is computed from the diagonal first, which keeps the division
    // away from zero.
    const float trace = x.x + y.y + z.z;
    Quaternion q;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        q = {(y.z - z.y) / s, (z.x - x.z) / s, (x.y - y.x) / s, 0.25f * s};
    } else if (x.x > y.y && x.x > z.z) {
        const float s = std::sqrt(1.0f + x.x - y.y - z.z) * 2.0f;
        q = {0.25f * s, (y.x + x.y) / s, (z.x + x.z) / s, (y.z - z.y) / s};
    } else if (y.y > z.z) {
        const float s = std::sqrt(1.0f + y.y - x.x - z.z) * 2.0f;
        q = {(y.x + x.y) / s, 0.25f * s, (z.y + y.z) / s, (z.x - x.z) / s};
    } else {
        const float s = std::sqrt(1.0f + z.z - x.x - y.y) * 2.0f;
        q = {(z.x + x.z) / s, (z.y + y.z) / s, 0.25f * s, (x.y - y.x) / s};
    }
    q = normalize(q);
    // One sign for equal rotations, so that equal transforms give byte-equal files.
    if (q.w < 0.0f)
        q = {-q.x, -q.y, -q.z, -q.w};
    return q;
}

NodePlacement placeNode(const Matrix4& world)
{
    NodePlacement placement;
    placement.position = {world[12], world[13], world[14]};
    const Float3 axes[3] = {column(world, 0), column(world, 1), column(world, 2)};
    const float scales[3] = {length(axes[0]), length(axes[1]), length(axes[2])};

    bool representable = scales[0] > kSmallestScale && scales[1] > kSmallestScale && scales[2] > kSmallestScale &&
                         dot(axes[0], cross(axes[1], axes[2])) > 0.0f;
    if (representable) {
        const Float3 x = axes[0] / scales[0], y = axes[1] / scales[1], z = axes[2] / scales[2];
        representable = std::fabs(dot(x, y)) < kOrthogonalTolerance && std::fabs(dot(y, z)) < kOrthogonalTolerance &&
                        std::fabs(dot(z, x)) < kOrthogonalTolerance;
        if (representable) {
            placement.orientation = quaternionFromAxes(x, y, z);
            placement.scale = {scales[0], scales[1], scales[2]};
            return placement;
        }
    }
    placement.baked = true;
    placement.linear = world;
    placement.linear[12] = placement.linear[13] = placement.linear[14] = 0.0f;
    return placement;
}

Matrix4 importRootTransform(float scale, char upAxis)
{
    // z up becomes y up by a quarter turn about x: (x, y, z) -> (x, z, -y). Written out rather
    // than built from a sine and cosine, whose float values are not exactly 0 and 1.
    const float yUp[9] = {scale, 0, 0, 0, scale, 0, 0, 0, scale};
    const float zUp[9] = {scale, 0, 0, 0, 0, -scale, 0, scale, 0};
    const float* columns = upAxis == 'z' ? zUp : yUp;
    Matrix4 root;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            root[c * 4 + r] = columns[c * 3 + r];
    return root;
}

void bakeLinearTransform(const Matrix4& linear, std::vector<ObjectVertex>& vertices, std::vector<uint32_t>& indices)
{
    const bool mirrors = determinant(linear) < 0.0f;
    const Matrix4 normalMatrix = transpose(inverse(linear));
    for (ObjectVertex& v : vertices) {
        v.position = transformVector(linear, v.position);
        v.normal = transformVector(normalMatrix, v.normal);
        v.tangent = transformVector(linear, v.tangent);
        v.binormal = transformVector(linear, v.binormal);
        // A mirrored frame keeps its texture directions: the binormal still points along +t.
        completeTangentFrame(v, v.normal);
    }
    if (mirrors)
        for (size_t i = 0; i + 2 < indices.size(); i += 3)
            std::swap(indices[i + 1], indices[i + 2]);
}

}  // namespace Orvanta
