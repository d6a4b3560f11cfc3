#include "raytracing/TraceTiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace Orvanta;

namespace {

std::vector<Tile> tilesOf(uint32_t width, uint32_t height)
{
    std::vector<Tile> tiles(traceTileCapacity(width, height));
    tiles.resize(cutIntoTiles(width, height, tiles));
    return tiles;
}

}  // namespace

TEST(TraceTiles, ARegion41PixelsWideHasTiles40And1WideInEveryRow)
{
    const std::vector<Tile> tiles = tilesOf(41, 85);
    ASSERT_EQ(tiles.size(), 6u);
    const uint32_t rowTops[3] = {0, 40, 80}, rowBottoms[3] = {39, 79, 84};
    for (int row = 0; row < 3; ++row) {
        const Tile& wide = tiles[row * 2];
        const Tile& narrow = tiles[row * 2 + 1];
        EXPECT_EQ(wide.x0, 0u);
        EXPECT_EQ(wide.x1, 39u);
        EXPECT_EQ(narrow.x0, 40u);
        EXPECT_EQ(narrow.x1, 40u);
        for (const Tile* t : {&wide, &narrow}) {
            EXPECT_EQ(t->y0, rowTops[row]);
            EXPECT_EQ(t->y1, rowBottoms[row]);
        }
    }
}

TEST(TraceTiles, AnEmptyRegionHasNoTiles)
{
    EXPECT_TRUE(tilesOf(0, 50).empty());
    EXPECT_TRUE(tilesOf(50, 0).empty());
    const PixelRect flat = traceRegionForScreenRect(0.2f, 0.5f, 0.7f, 0.5f, 640, 360);
    EXPECT_EQ(flat.height, 0u);
}

TEST(TraceTiles, RegionOfAScreenRectangleTruncatesEachProduct)
{
    const PixelRect r = traceRegionForScreenRect(0.5f, 0.25f, 1.0f, 0.75f, 320, 180);
    EXPECT_EQ(r.x, 159u);  // 319 * 0.5
    EXPECT_EQ(r.y, 44u);   // 179 * 0.25
    EXPECT_EQ(r.width, 160u);
    EXPECT_EQ(r.height, 90u);
    const PixelRect whole = traceRegionForScreenRect(0.0f, 0.0f, 1.0f, 1.0f, 320, 180);
    EXPECT_EQ(whole.x, 0u);
    EXPECT_EQ(whole.width, 320u);
    EXPECT_EQ(whole.height, 180u);
}

TEST(TraceTiles, OutOfRangeAndInvertedRectanglesAreClamped)
{
    const PixelRect wide = traceRegionForScreenRect(-3.0f, -1.0f, 7.0f, 2.0f, 320, 180);
    EXPECT_EQ(wide.x, 0u);
    EXPECT_EQ(wide.y, 0u);
    EXPECT_EQ(wide.width, 320u);
    EXPECT_EQ(wide.height, 180u);
    const PixelRect inverted = traceRegionForScreenRect(0.8f, 0.6f, 0.2f, 0.1f, 320, 180);
    EXPECT_EQ(inverted.width, 0u);
    EXPECT_EQ(inverted.height, 0u);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const PixelRect broken = traceRegionForScreenRect(nan, nan, nan, 0.5f, 320, 180);
    EXPECT_EQ(broken.width, 0u);
    EXPECT_EQ(broken.height, 90u);
}

// Whatever the rectangle, the region stays inside the resolution and its tiles fit the array
// sized for the whole resolution and cover every pixel of the region exactly once.
TEST(TraceTiles, RandomRectanglesStayInsideTheResolutionAndTheTileArray)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-0.3f, 1.3f);
    std::uniform_int_distribution<uint32_t> size(1, 700);
    for (int i = 0; i < 2000; ++i) {
        const uint32_t w = size(random), h = size(random);
        float rect[4];
        for (float& c : rect)
            c = i % 3 == 0 ? std::round(coordinate(random)) : coordinate(random);
        const PixelRect region = traceRegionForScreenRect(rect[0], rect[1], rect[2], rect[3], w, h);
        ASSERT_LE(region.x + region.width, w);
        ASSERT_LE(region.y + region.height, h);
        std::vector<Tile> tiles(traceTileCapacity(w, h));
        const uint32_t count = cutIntoTiles(region.width, region.height, tiles);
        ASSERT_LE(count, tiles.size());
        std::vector<uint8_t> covered(size_t(region.width) * region.height, 0);
        for (uint32_t t = 0; t < count; ++t)
            for (uint32_t y = tiles[t].y0; y <= tiles[t].y1; ++y)
                for (uint32_t x = tiles[t].x0; x <= tiles[t].x1; ++x) {
                    ASSERT_LT(x, region.width);
                    ASSERT_LT(y, region.height);
                    ++covered[x + size_t(region.width) * y];
                }
        for (uint8_t c : covered)
            ASSERT_EQ(c, 1);
    }
}

TEST(TraceTiles, ATooSmallArrayIsNeverOverrun)
{
    std::vector<Tile> tiles(3);
    EXPECT_EQ(cutIntoTiles(400, 400, tiles), 3u);
}
