#include "renderer/LightPropagationVolumeLayout.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

VolumeGrid gridOf(float cellSize, Float3 position)
{
    VolumeGrid grid;
    grid.cellSize = cellSize;
    grid.position = position;
    return grid;
}

// Clip-space image of a world point through projection times view.
Float3 clipOf(const Matrix4& viewProjection, Float3 p)
{
    return transformPoint(viewProjection, p);
}

// Window pixel (column, row) that a world point lands on in a target of the given size.
void pixelOf(const Matrix4& projection, const Matrix4& modelview, Float3 p, int width, int height, float& column,
             float& row)
{
    Float3 ndc = transformPoint(multiply(projection, modelview), p);
    column = (ndc.x * 0.5f + 0.5f) * static_cast<float>(width);
    row = (ndc.y * 0.5f + 0.5f) * static_cast<float>(height);
}

}  // namespace

TEST(LightPropagationVolumeLayout, PositionSnapsDownToWholeCellsAndStaysWithinACell)
{
    for (float s : {0.5f, 1.0f, 3.5f}) {
        Float3 anchor = snappedVolumePosition({12.504345f, 6.255634f, -6.039891f}, s);
        // Anywhere inside the anchor's cell gives the same position.
        for (float fx : {0.01f, 0.5f, 0.99f})
            for (float fz : {0.01f, 0.7f}) {
                Float3 p = anchor + Float3{fx * s, 0.3f * s, fz * s};
                EXPECT_EQ(snappedVolumePosition(p, s), anchor) << "cell size " << s;
            }
        // Crossing into the next cell moves the volume by exactly one cell.
        Float3 next = snappedVolumePosition(anchor + Float3{1.01f * s, 0.0f, 0.0f}, s);
        EXPECT_FLOAT_EQ(next.x - anchor.x, s);
        EXPECT_EQ(next.y, anchor.y);
    }
    // Negative coordinates snap down, not toward zero.
    Float3 negative = snappedVolumePosition({-0.1f, -3.6f, -7.0f}, 0.5f);
    EXPECT_FLOAT_EQ(negative.x, -0.5f);
    EXPECT_FLOAT_EQ(negative.y, -4.0f);
    EXPECT_FLOAT_EQ(negative.z, -7.0f);
}

TEST(LightPropagationVolumeLayout, SunInjectionGridHasOnePointPerMapTexelForEveryCellSize)
{
    for (float s : {0.5f, 1.0f, 3.5f}) {
        std::vector<InjectionPoint> points = sunInjectionGrid(gridOf(s, {3, 4, 5}), 128);
        ASSERT_EQ(points.size(), 128u * 128u) << "cell size " << s;
        float side = 32.0f * s;
        float step = side / 128.0f;
        for (size_t k : {size_t{0}, size_t{127}, size_t{128 * 64 + 5}, size_t{128 * 128 - 1}}) {
            int i = static_cast<int>(k % 128);
            int j = static_cast<int>(k / 128);
            const InjectionPoint& p = points[k];
            // Texel centres, and coordinates that address exactly those texels.
            EXPECT_FLOAT_EQ(p.vertex.x, -side / 2 + step / 2 + step * static_cast<float>(i));
            EXPECT_FLOAT_EQ(p.vertex.z, -side / 2 + step / 2 + step * static_cast<float>(j));
            EXPECT_EQ(p.vertex.y, 0.0f);
            EXPECT_FLOAT_EQ(p.u, (static_cast<float>(i) + 0.5f) / 128.0f);
            EXPECT_FLOAT_EQ(p.v, (static_cast<float>(j) + 0.5f) / 128.0f);
            EXPECT_FLOAT_EQ(p.u, p.vertex.x / side + 0.5f);
        }
    }
    EXPECT_TRUE(sunInjectionGrid(gridOf(1.0f, {}), 0).empty());
}

TEST(LightPropagationVolumeLayout, SkyInjectionGridCoversTheMapAtTexelCentres)
{
    std::vector<InjectionPoint> points = skyInjectionGrid(128);
    ASSERT_EQ(points.size(), 128u * 128u);
    EXPECT_FLOAT_EQ(points.front().u, 0.5f / 128.0f);
    EXPECT_FLOAT_EQ(points.back().v, 127.5f / 128.0f);
    for (const InjectionPoint& p : points)
        ASSERT_EQ(p.vertex, (Float3{0, 0, 0}));
}

TEST(LightPropagationVolumeLayout, ReflectiveShadowMapCoversTheVolumeFootprintAcrossTheLight)
{
    VolumeGrid grid = gridOf(1.0f, {12.0f, 6.0f, -7.0f});
    // Straight overhead: the square spans x +- 16 around position.x and light-space y +- 16 around
    // -position.z, so the footprint's corners land on the map's corners.
    SunLightBasis overhead = makeSunLightBasis({0.0f, -1.0f, 0.0f});
    ReflectiveShadowMapProjection map = reflectiveShadowMapProjection(overhead, grid);
    Float3 corner = clipOf(map.matrices.viewProjection, {12.0f - 16.0f, 0.0f, -7.0f + 16.0f});
    EXPECT_NEAR(corner.x, -1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, -1.0f, 1e-5f);
    Float3 opposite = clipOf(map.matrices.viewProjection, {12.0f + 16.0f, 3.0f, -7.0f - 16.0f});
    EXPECT_NEAR(opposite.x, 1.0f, 1e-5f);
    EXPECT_NEAR(opposite.y, 1.0f, 1e-5f);

    // A slanted sun keeps the volume's centre in the middle of the map.
    SunLightBasis slanted = makeSunLightBasis(normalize(Float3{-0.681f, -0.650f, 0.338f}));
    map = reflectiveShadowMapProjection(slanted, grid);
    Float3 centre = clipOf(map.matrices.viewProjection, grid.position);
    EXPECT_NEAR(centre.x, 0.0f, 1e-5f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-5f);
    // Light depths -150 and 100 bound the depth range, as for the overlapped shadow maps.
    Float3 nearPoint = clipOf(map.matrices.viewProjection, slanted.direction * -150.0f);
    Float3 farPoint = clipOf(map.matrices.viewProjection, slanted.direction * 100.0f);
    EXPECT_NEAR(nearPoint.z, -1.0f, 1e-4f);
    EXPECT_NEAR(farPoint.z, 1.0f, 1e-4f);

    // The inverted matrix takes clip space back to the world point.
    Float3 p{15.25f, 1.5f, -2.75f};
    Float3 back = transformPoint(map.inverted, clipOf(map.matrices.viewProjection, p));
    EXPECT_NEAR(back.x, p.x, 1e-3f);
    EXPECT_NEAR(back.y, p.y, 1e-3f);
    EXPECT_NEAR(back.z, p.z, 1e-3f);
}

TEST(LightPropagationVolumeLayout, InjectionDrawPutsEachCellOnItsTexelInItsLayer)
{
    VolumeGrid grid = gridOf(0.5f, {12.5f, 6.0f, -6.5f});
    Matrix4 projection = injectionProjection(grid);
    Matrix4 modelview = injectionModelview();
    Float3 corner = grid.minimumCorner();
    for (VolumeCell cell : {VolumeCell{0, 0, 0}, VolumeCell{31, 0, 0}, VolumeCell{0, 1, 0}, VolumeCell{7, 13, 29},
                            VolumeCell{31, 31, 31}}) {
        Float3 centre = corner + Float3{(static_cast<float>(cell.x) + 0.5f) * grid.cellSize,
                                        (static_cast<float>(cell.y) + 0.5f) * grid.cellSize,
                                        (static_cast<float>(cell.z) + 0.5f) * grid.cellSize};
        VolumeCell found;
        ASSERT_TRUE(volumeCellAt(grid, centre, found));
        EXPECT_EQ(found.x, cell.x);
        EXPECT_EQ(found.y, cell.y);
        EXPECT_EQ(found.z, cell.z);
        int expectedColumn = 0;
        int expectedRow = 0;
        volumeTexel(grid, cell, expectedColumn, expectedRow);
        EXPECT_EQ(expectedColumn, cell.y * 32 + cell.x);
        // The layer's shift along x, as the injection shader applies it.
        Float3 shifted = centre + Float3{static_cast<float>(cell.y) * 32.0f * grid.cellSize, 0.0f, 0.0f};
        float column = 0.0f;
        float row = 0.0f;
        pixelOf(projection, modelview, shifted, 1024, 32, column, row);
        EXPECT_NEAR(column, static_cast<float>(expectedColumn) + 0.5f, 1e-2f);
        EXPECT_NEAR(row, static_cast<float>(expectedRow) + 0.5f, 1e-2f);
        // Depth stays inside the clip volume over the volume's height.
        Float3 ndc = transformPoint(multiply(projection, modelview), shifted);
        EXPECT_GT(ndc.z, -1.0f);
        EXPECT_LT(ndc.z, 1.0f);
    }
    VolumeCell outside;
    EXPECT_FALSE(volumeCellAt(grid, corner - Float3{0.01f, 0.0f, 0.0f}, outside));
    EXPECT_FALSE(volumeCellAt(grid, corner + grid.extent(), outside));
}

TEST(LightPropagationVolumeLayout, StepCounterSelectsAccumulationThenTheLastWrittenTarget)
{
    EXPECT_EQ(sourceVolumeTarget(0), VolumeTarget::Accumulation);
    EXPECT_EQ(propagationTarget(0), VolumeTarget::PropagationA);
    for (unsigned counter = 1; counter <= 16; ++counter) {
        // The step that made the counter `counter` wrote propagationTarget(counter - 1); the source
        // is now that target, and the next step writes the other one.
        EXPECT_EQ(sourceVolumeTarget(counter), propagationTarget(counter - 1)) << counter;
        EXPECT_NE(propagationTarget(counter), propagationTarget(counter - 1)) << counter;
    }
    // The coarsest volume takes eight steps and the finer ones sixteen: after either count the
    // render reads B, which holds the last step.
    EXPECT_EQ(sourceVolumeTarget(8), VolumeTarget::PropagationB);
    EXPECT_EQ(sourceVolumeTarget(16), VolumeTarget::PropagationB);
}
