#include "renderer/LightPropagationVolumeLayout.h"

#include <cmath>

namespace Orvanta {

namespace {

// The reflective shadow map's depth range along the light, as for the overlapped shadow maps:
// light depths -150..100 (z' = -0.008 view z + 0.2).
constexpr float mapNearDepth = -150.0f;
constexpr float mapFarDepth = 100.0f;

int cellIndex(float offset, float cellSize)
{
    return static_cast<int>(std::floor(offset / cellSize));
}

}  // namespace

Float3 VolumeGrid::extent() const
{
    return {cellSize * static_cast<float>(width), cellSize * static_cast<float>(height),
            cellSize * static_cast<float>(length)};
}

Float3 VolumeGrid::minimumCorner() const
{
    return position - extent() * 0.5f;
}

Float3 snappedVolumePosition(Float3 cameraPosition, float cellSize)
{
    return {std::floor(cameraPosition.x / cellSize) * cellSize, std::floor(cameraPosition.y / cellSize) * cellSize,
            std::floor(cameraPosition.z / cellSize) * cellSize};
}

Matrix4 orthographicMatrix(float left, float right, float bottom, float top, float nearDistance, float farDistance)
{
    Matrix4 p;
    for (float& element : p.m)
        element = 0.0f;
    p[0] = 2.0f / (right - left);
    p[5] = 2.0f / (top - bottom);
    p[10] = -2.0f / (farDistance - nearDistance);
    p[12] = -(right + left) / (right - left);
    p[13] = -(top + bottom) / (top - bottom);
    p[14] = -(farDistance + nearDistance) / (farDistance - nearDistance);
    p[15] = 1.0f;
    return p;
}

ReflectiveShadowMapProjection reflectiveShadowMapProjection(const SunLightBasis& basis, const VolumeGrid& grid)
{
    // The square is centred on where the volume's centre lies in light space. For a sun straight
    // overhead (v = x, u = -z) that is (position.x, -position.z); for any other sun it keeps the
    // volume in the middle of the map instead of sliding the map off it as the sun tilts.
    float centreX = dot(basis.v, grid.position);
    float centreY = dot(basis.u, grid.position);
    Float3 extent = grid.extent();
    float halfWidth = extent.x * 0.5f;
    float halfHeight = extent.y * 0.5f;

    ReflectiveShadowMapProjection result;
    ShadowProjection& m = result.matrices;
    m.view = lightViewMatrix(basis);
    m.projection = orthographicMatrix(centreX - halfWidth, centreX + halfWidth, centreY - halfHeight,
                                      centreY + halfHeight, mapNearDepth, mapFarDepth);
    m.viewProjection = multiply(m.projection, m.view);
    m.uvSpaceSunLightRadius = 0.0f;
    result.inverted = inverse(m.viewProjection);
    return result;
}

Matrix4 injectionModelview()
{
    // Columns are the images of the world axes: x -> x, y -> -z, z -> y.
    Matrix4 m;
    for (float& element : m.m)
        element = 0.0f;
    m[0] = 1.0f;
    m[6] = -1.0f;
    m[9] = 1.0f;
    m[15] = 1.0f;
    return m;
}

Matrix4 injectionProjection(const VolumeGrid& grid)
{
    Float3 extent = grid.extent();
    Float3 corner = grid.minimumCorner();
    float left = corner.x;
    float right = left + extent.x * static_cast<float>(grid.height);
    // Eye z is -world y, so the near and far distances are world heights.
    return orthographicMatrix(left, right, corner.z, corner.z + extent.z, corner.y, corner.y + extent.y);
}

bool volumeCellAt(const VolumeGrid& grid, Float3 point, VolumeCell& cell)
{
    Float3 offset = point - grid.minimumCorner();
    VolumeCell c{cellIndex(offset.x, grid.cellSize), cellIndex(offset.y, grid.cellSize),
                 cellIndex(offset.z, grid.cellSize)};
    if (c.x < 0 || c.y < 0 || c.z < 0 || c.x >= grid.width || c.y >= grid.height || c.z >= grid.length)
        return false;
    cell = c;
    return true;
}

void volumeTexel(const VolumeGrid& grid, const VolumeCell& cell, int& column, int& row)
{
    column = cell.y * grid.width + cell.x;
    row = cell.z;
}

std::vector<InjectionPoint> sunInjectionGrid(const VolumeGrid& grid, int mapSize)
{
    std::vector<InjectionPoint> points;
    if (mapSize <= 0)
        return points;
    float side = grid.extent().x;
    float step = side / static_cast<float>(mapSize);
    points.reserve(static_cast<size_t>(mapSize) * static_cast<size_t>(mapSize));
    for (int j = 0; j < mapSize; ++j) {
        float z = -0.5f * side + (static_cast<float>(j) + 0.5f) * step;
        for (int i = 0; i < mapSize; ++i) {
            float x = -0.5f * side + (static_cast<float>(i) + 0.5f) * step;
            points.push_back({x / side + 0.5f, z / side + 0.5f, {x, 0.0f, z}});
        }
    }
    return points;
}

std::vector<InjectionPoint> skyInjectionGrid(int mapSize)
{
    std::vector<InjectionPoint> points;
    if (mapSize <= 0)
        return points;
    points.reserve(static_cast<size_t>(mapSize) * static_cast<size_t>(mapSize));
    float size = static_cast<float>(mapSize);
    for (int j = 0; j < mapSize; ++j)
        for (int i = 0; i < mapSize; ++i)
            points.push_back({(static_cast<float>(i) + 0.5f) / size, (static_cast<float>(j) + 0.5f) / size, {}});
    return points;
}

std::vector<InjectionPoint> screenInjectionGrid(int columns, int rows)
{
    std::vector<InjectionPoint> points;
    if (columns <= 0 || rows <= 0)
        return points;
    points.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    const float w = static_cast<float>(columns);
    const float h = static_cast<float>(rows);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
            points.push_back(
                {(static_cast<float>(i) + 0.5f) / w, (static_cast<float>(j) + 0.5f) / h, {1.0f / w, 1.0f / h, 0.0f}});
    return points;
}

VolumeTarget sourceVolumeTarget(unsigned step)
{
    if (step == 0)
        return VolumeTarget::Accumulation;
    return step % 2 == 1 ? VolumeTarget::PropagationA : VolumeTarget::PropagationB;
}

VolumeTarget propagationTarget(unsigned step)
{
    return step % 2 == 0 ? VolumeTarget::PropagationA : VolumeTarget::PropagationB;
}

}  // namespace Orvanta
