#include "Models.h"
#include "Noise.h"
#include "Surfaces.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

constexpr float Extent = 64.0f;
constexpr int Cells = 128;

// How far a yard-frame point lies outside the fenced area (0 inside).
float distanceOutsideYard(float x, float z)
{
    float dx = std::max({0.0f, x - YardLeft, YardRight - x});
    float dz = std::max({0.0f, z - YardFar, YardNear - z});
    return std::sqrt(dx * dx + dz * dz);
}

}  // namespace

float groundHeight(const YardFrame& yard, float worldX, float worldZ)
{
    Float3 local = rotate(conjugate(yard.orientation()), Float3{worldX, 0, worldZ} - yard.origin);
    float outside = distanceOutsideYard(local.x, local.z);
    float rise = std::clamp((outside - 3.0f) / 20.0f, 0.0f, 1.0f);
    rise = rise * rise * (3.0f - 2.0f * rise);
    float hills = 0.5f * smoothNoise(worldX / 18.0f, worldZ / 18.0f, 7u) +
                  0.5f * smoothNoise(worldX / 7.0f, worldZ / 7.0f, 8u);
    return rise * (0.6f + 3.4f * hills);
}

ObjectFileData buildGround(const YardFrame& yard)
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Grass);
    const float step = 2.0f * Extent / Cells;
    std::vector<uint32_t> ids;
    ids.reserve((Cells + 1) * (Cells + 1));
    for (int j = 0; j <= Cells; ++j) {
        for (int i = 0; i <= Cells; ++i) {
            float x = -Extent + step * static_cast<float>(i);
            float z = -Extent + step * static_cast<float>(j);
            float e = 0.25f;
            float hx = (groundHeight(yard, x + e, z) - groundHeight(yard, x - e, z)) / (2 * e);
            float hz = (groundHeight(yard, x, z + e) - groundHeight(yard, x, z - e)) / (2 * e);
            ObjectVertex v;
            v.position = Float3{x, groundHeight(yard, x, z), z};
            v.tangent = normalize(Float3{1, hx, 0});
            v.binormal = normalize(Float3{0, hz, 1});
            v.normal = normalize(cross(v.binormal, v.tangent));
            v.texCoord[0] = x;
            v.texCoord[1] = z;
            ids.push_back(mesh.addVertex(v));
        }
    }
    const int row = Cells + 1;
    for (int j = 0; j < Cells; ++j) {
        for (int i = 0; i < Cells; ++i) {
            uint32_t a = ids[j * row + i];
            uint32_t b = ids[j * row + i + 1];
            uint32_t c = ids[(j + 1) * row + i + 1];
            uint32_t d = ids[(j + 1) * row + i];
            mesh.addTriangle(a, b, c);
            mesh.addTriangle(a, c, d);
        }
    }
    return mesh.build("ground");
}

}  // namespace Orvanta
