#include "KdTestScenes.h"

#include "raytracing/HalfFloat.h"
#include "raytracing/PixelTracing.h"
#include "raytracing/RayTracer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace Orvanta;

namespace {

constexpr uint16_t kPoison = 0xABAB;
constexpr uint16_t kOneHalf = 0x3C00;

// A random scene of a few hundred triangles, traced at 100 x 60.
struct TracedScene {
    RayTracer tracer;

    TracedScene()
    {
        tracer.geometry = std::move(OrvantaTest::randomScene(5, 300, 20.0f).geometry);
        tracer.kdTree.geometry = &tracer.geometry;
        tracer.kdTree.buildKdTree();
        tracer.create(100, 60);
    }
};

// Inputs and outputs of one region, outputs poisoned; about one pixel in four carries no ray.
struct RegionArrays {
    uint32_t width, height;
    std::vector<uint16_t> origins, directions, normals, positions;
    std::vector<uint8_t> colors;
    uint64_t rays = 0;

    RegionArrays(uint32_t w, uint32_t h, std::mt19937& random)
        : width(w), height(h), origins(size_t(w) * h * 4), directions(size_t(w) * h * 4),
          normals(size_t(w) * h * 4, kPoison), positions(size_t(w) * h * 4, kPoison), colors(size_t(w) * h * 4, 0xAB)
    {
        std::uniform_real_distribution<float> inside(-2.0f, 22.0f), turn(-1.0f, 1.0f);
        for (size_t i = 0; i < size_t(w) * h; ++i) {
            const bool ray = random() % 4 != 0;
            rays += ray;
            const float o[4] = {inside(random), inside(random), inside(random), 1.0f};
            const float d[4] = {turn(random), turn(random), turn(random), ray ? 1.0f : 0.0f};
            for (int c = 0; c < 4; ++c) {
                origins[i * 4 + c] = narrowToHalf(o[c]);
                directions[i * 4 + c] = narrowToHalf(d[c]);
            }
        }
    }
    TraceRegion region()
    {
        return {width, height, origins.data(), directions.data(), colors.data(), normals.data(), positions.data()};
    }
};

}  // namespace

// Over two thousand frames of random rectangles, the workers trace every ray of the region once
// (the count matches) and write every pixel; every tenth frame is compared with one traceTile
// over the whole region on this thread, which the tiled work must reproduce exactly.
TEST(RayTracer, TiledWorkersTraceEveryRayOnceAndMatchOneTileOverTheRegion)
{
    TracedScene scene;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-0.2f, 1.2f);
    uint64_t frames = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        float x[2] = {coordinate(random), coordinate(random)}, y[2] = {coordinate(random), coordinate(random)};
        // Mostly ordered rectangles; every seventh as drawn, often inverted.
        if (frame % 7 != 0) {
            std::sort(x, x + 2);
            std::sort(y, y + 2);
        }
        scene.tracer.setRegion(x[0], y[0], x[1], y[1]);
        const PixelRect region = scene.tracer.region();
        ASSERT_LE(scene.tracer.tileCount(), scene.tracer.tileCapacity());
        RegionArrays arrays(region.width, region.height, random);
        ASSERT_EQ(scene.tracer.traceRegion(arrays.region()), arrays.rays) << "frame " << frame;
        for (size_t i = 0; i < size_t(region.width) * region.height; ++i) {
            const uint16_t w = arrays.positions[i * 4 + 3];
            ASSERT_TRUE(w == 0 || w == kOneHalf) << "pixel " << i << " of frame " << frame << " was not written";
        }
        if (frame % 10 != 0 || region.width == 0 || region.height == 0)
            continue;
        ++frames;
        RegionArrays reference = arrays;
        std::fill(reference.positions.begin(), reference.positions.end(), kPoison);
        std::fill(reference.normals.begin(), reference.normals.end(), kPoison);
        std::fill(reference.colors.begin(), reference.colors.end(), 0xAB);
        TraceRegion whole = reference.region();
        clearTileOutputs(whole, 0, 0, region.width - 1, region.height - 1);
        traceTile(scene.tracer, whole, 0, 0, region.width - 1, region.height - 1);
        ASSERT_EQ(reference.positions, arrays.positions) << "frame " << frame;
        ASSERT_EQ(reference.normals, arrays.normals) << "frame " << frame;
        ASSERT_EQ(reference.colors, arrays.colors) << "frame " << frame;
    }
    EXPECT_GT(frames, 50u);
}

TEST(RayTracer, PixelsWithoutARayReadAsNothingToLight)
{
    TracedScene scene;
    std::mt19937 random(1);
    scene.tracer.setRegion(0.0f, 0.0f, 0.5f, 0.5f);
    RegionArrays arrays(scene.tracer.region().width, scene.tracer.region().height, random);
    scene.tracer.traceRegion(arrays.region());
    size_t rayless = 0;
    for (size_t i = 0; i < size_t(arrays.width) * arrays.height; ++i) {
        if (widenHalf(arrays.directions[i * 4 + 3]) > 0.001f)
            continue;
        ++rayless;
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(arrays.colors[i * 4 + c], 0);
            EXPECT_EQ(arrays.normals[i * 4 + c], 0);
        }
        EXPECT_EQ(arrays.positions[i * 4], 0);
        EXPECT_EQ(arrays.positions[i * 4 + 3], kOneHalf);
    }
    EXPECT_GT(rayless, 0u);
}

TEST(RayTracer, AnEmptyRegionOrMismatchedArraysTraceNothing)
{
    TracedScene scene;
    scene.tracer.setRegion(0.3f, 0.3f, 0.3f, 0.9f);
    EXPECT_EQ(scene.tracer.tileCount(), 0u);
    EXPECT_EQ(scene.tracer.traceRegion(TraceRegion{}), 0u);
    // Arrays of another size than the region are refused rather than read past their end.
    std::mt19937 random(2);
    scene.tracer.setRegion(0.0f, 0.0f, 1.0f, 1.0f);
    RegionArrays small(10, 10, random);
    EXPECT_EQ(scene.tracer.traceRegion(small.region()), 0u);
    EXPECT_EQ(small.positions[3], kPoison);
}

TEST(RayTracer, WithoutATreeEveryRayMisses)
{
    RayTracer tracer;
    tracer.create(40, 20);
    tracer.setRegion(0.0f, 0.0f, 1.0f, 1.0f);
    std::mt19937 random(4);
    RegionArrays arrays(40, 20, random);
    EXPECT_EQ(tracer.traceRegion(arrays.region()), arrays.rays);
    for (size_t i = 0; i < 40 * 20; ++i)
        EXPECT_EQ(arrays.positions[i * 4 + 3], kOneHalf);
}
