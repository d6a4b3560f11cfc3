#pragma once
#include "renderer/ShadowProjection.h"
#include "renderer/SunLightBasis.h"
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

// The nested light propagation volumes: cells of 0.5, 1.0 and 3.5 units.
constexpr int LightPropagationVolumeCount = 3;

// Where a light propagation volume sits and how its cells are laid out, without any GL: the
// arithmetic the volume passes and their tests share.
//
// A volume of W x H x L cells of size s spans position +- s * (W, H, L) / 2. Its cells live in
// 2D targets of (W * H) x L texels: the H horizontal layers of cells (along world y) lie side by
// side along the target's x, each W texels wide (world x); the target's y is world z. Layer j
// occupies target columns W j to W j + W - 1.
struct VolumeGrid {
    int width = 32;
    int height = 32;
    int length = 32;
    float cellSize = 1.0f;
    Float3 position;

    Float3 extent() const;
    // The corner with the smallest coordinates (position minus half the extent).
    Float3 minimumCorner() const;
};

// The camera position snapped down per axis to whole cells: floor(p / s) * s. Moving the camera
// within one cell leaves it unchanged, so the cell grid stays fixed in world space.
Float3 snappedVolumePosition(Float3 cameraPosition, float cellSize);

// The orthographic camera of a volume's reflective shadow map: the sun's light view, a square of
// the volume's width and height across the light centred on the light-space image of the
// volume's position, and light depths -150..100 mapped to -1..1 as for the overlapped shadow
// maps. The inverted matrix takes the map's clip space back to world space.
struct ReflectiveShadowMapProjection {
    ShadowProjection matrices;
    Matrix4 inverted;
};
ReflectiveShadowMapProjection reflectiveShadowMapProjection(const SunLightBasis& basis, const VolumeGrid& grid);

// The injection draw's matrices: the modelview turns world (x, y, z) into (x, z, -y), looking
// down the world y axis; the projection spans the side-by-side layers in x (from the volume's
// smallest x over W * H cells), the volume's z range in y and its y range in depth. A point at
// world x + s W j lands in layer j.
Matrix4 injectionModelview();
Matrix4 injectionProjection(const VolumeGrid& grid);
// glOrtho's matrix.
Matrix4 orthographicMatrix(float left, float right, float bottom, float top, float nearDistance, float farDistance);

// The cell that holds a world point, or false when the point lies outside the volume.
struct VolumeCell {
    int x = 0;
    int y = 0;
    int z = 0;
};
bool volumeCellAt(const VolumeGrid& grid, Float3 point, VolumeCell& cell);
// The texel of a cell in the layered target (column, row).
void volumeTexel(const VolumeGrid& grid, const VolumeCell& cell, int& column, int& row);

// One injection point: a texture coordinate into the reflective shadow map and a vertex.
struct InjectionPoint {
    float u = 0.0f;
    float v = 0.0f;
    Float3 vertex;
};
// The sun points: one per texel of a mapSize x mapSize reflective shadow map, at the texel
// centres' offsets x, z from the volume centre across a square of side s W (steps e = s W /
// mapSize), with texture coordinate (x / (s W) + 0.5, z / (s W) + 0.5). Counted in whole texels,
// so every volume gets exactly mapSize * mapSize points whatever its cell size.
std::vector<InjectionPoint> sunInjectionGrid(const VolumeGrid& grid, int mapSize);
// The sky points: texture coordinates (k + 0.5) / mapSize on both axes, vertex at the origin.
std::vector<InjectionPoint> skyInjectionGrid(int mapSize);

// The camera's points for the geometry volumes: one per cell of a columns x rows grid over the
// screen, texture coordinate at the cell's centre ((i + 0.5) / columns, (j + 0.5) / rows) and
// vertex (1 / columns, 1 / rows, 0), the share of the screen's width and height each stands for.
std::vector<InjectionPoint> screenInjectionGrid(int columns, int rows);

// Which of a volume's three targets propagation step `step` (counted from 0) reads as its source:
// the accumulation target C for the first step, then the target the step before wrote (A after
// an odd count of steps, B after an even one). Steps write A when their number is even, B when it
// is odd.
enum class VolumeTarget { PropagationA, PropagationB, Accumulation };
VolumeTarget sourceVolumeTarget(unsigned step);
VolumeTarget propagationTarget(unsigned step);

}  // namespace Orvanta
