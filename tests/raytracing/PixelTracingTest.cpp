#include "raytracing/PixelTracing.h"
#include "content/RtImage.h"
#include "raytracing/HalfFloat.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Orvanta;

namespace {

// A 16×16 chain of five levels; red tells which level was sampled (level / 4).
RtImage levelImage()
{
    RtImage image;
    for (uint32_t l = 0; l < 5; ++l) {
        RtImageLevel level;
        level.width = level.height = 16u >> l;
        level.texels.assign(size_t(level.width) * level.height, {float(l) / 4.0f, 0.5f, 0.0f, 1.0f});
        image.levels.push_back(level);
    }
    return image;
}

// One triangle in the z = 0 plane covering (0..10, 0..10), texture coordinates = position / 10.
struct Scene {
    RtImage image = levelImage();
    RayTracer tracer;

    Scene()
    {
        RayTracingGeometry& g = tracer.geometry;
        RtSurface surface;
        surface.colorImage = &image;
        surface.doubleSided = 1;
        g.surfaces.push_back(surface);
        const float p[3][2] = {{0, 0}, {10, 0}, {0, 10}};
        for (auto& q : p) {
            RtVertex v;
            v.position = {q[0], q[1], 0};
            v.normal = {0, 0, 1};
            v.tangent = {1, 0, 0};
            v.binormal = {0, 1, 0};
            v.texCoord[0] = q[0] / 10.0f;
            v.texCoord[1] = q[1] / 10.0f;
            g.vertices.push_back(v);
        }
        RtTriangle t;
        t.index0 = 0;
        t.index1 = 1;
        t.index2 = 2;
        t.surface = &g.surfaces.back();
        t.boxMin = {0, 0, 0};
        t.boxMax = {10, 10, 0};
        g.triangles.push_back(t);
        tracer.kdTree.geometry = &g;
        tracer.kdTree.buildKdTree();
    }
};

void putTexel(std::vector<uint16_t>& a, size_t i, float x, float y, float z, float w)
{
    a[i * 4 + 0] = narrowToHalf(x);
    a[i * 4 + 1] = narrowToHalf(y);
    a[i * 4 + 2] = narrowToHalf(z);
    a[i * 4 + 3] = narrowToHalf(w);
}

// Region arrays with `pad` texels in front of the region, so reads before it see poison rays.
struct Buffers {
    uint32_t w, h, pad;
    std::vector<uint16_t> origins, directions, normals, positions;
    std::vector<uint8_t> colors;

    Buffers(uint32_t width, uint32_t height, uint32_t padding)
        : w(width), h(height), pad(padding), origins((width * height + padding) * 4),
          directions((width * height + padding) * 4), normals(width * height * 4, 0xABAB),
          positions(width * height * 4, 0xABAB), colors(width * height * 4, 0xAB)
    {
        // Poison: rays far from every region pixel, which would select the coarsest level.
        for (uint32_t i = 0; i < padding; ++i) {
            putTexel(origins, i, 0.5f, 9.0f, 5.0f, 1.0f);
            putTexel(directions, i, 0.0f, 0.0f, -1.0f, 1.0f);
        }
    }
    void ray(uint32_t x, uint32_t y, float ox, float oy, float dz, float w = 1.0f, float oz = 5.0f)
    {
        size_t i = pad + x + size_t(this->w) * y;
        putTexel(origins, i, ox, oy, oz, 1.0f);
        putTexel(directions, i, 0.0f, 0.0f, dz, w);
    }
    TraceRegion region()
    {
        return {w,
                h,
                origins.data() + pad * 4,
                directions.data() + pad * 4,
                colors.data(),
                normals.data(),
                positions.data()};
    }
};

}  // namespace

TEST(PixelTracing, HitMissAndRaylessPixelsWriteTheirOutputs)
{
    Scene scene;
    Buffers b(2, 2, 0);
    b.ray(0, 0, 2.0f, 3.0f, -1.0f);        // hit
    b.ray(1, 0, 2.0f, 3.0f, 1.0f);         // points away: miss
    b.ray(0, 1, 2.0f, 3.0f, -1.0f, 0.0f);  // no ray
    b.ray(1, 1, 2.0f, 3.0f, -1.0f);
    TraceRegion r = b.region();
    traceTile(scene.tracer, r, 0, 0, 1, 1);

    EXPECT_NEAR(widenHalf(b.positions[0]), 2.0f, 1e-3f);
    EXPECT_NEAR(widenHalf(b.positions[1]), 3.0f, 1e-3f);
    EXPECT_NEAR(widenHalf(b.positions[2]), 0.0f, 1e-3f);
    EXPECT_EQ(b.positions[3], 0);
    EXPECT_NEAR(widenHalf(b.normals[2]), 1.0f, 1e-3f);
    EXPECT_EQ(b.colors[1], uint8_t(255 * 0.5f));
    EXPECT_EQ(b.colors[3], 255);

    // Miss: only the position's w.
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(b.positions[4 + c], 0xABAB);
    EXPECT_EQ(b.positions[7], 0x3C00);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(b.colors[4 + c], 0xAB);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(b.normals[4 + c], 0xABAB);

    // No ray: nothing at all.
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(b.positions[8 + c], 0xABAB);
        EXPECT_EQ(b.colors[8 + c], 0xAB);
        EXPECT_EQ(b.normals[8 + c], 0xABAB);
    }
}

TEST(PixelTracing, ADoubleSidedSurfaceMetFromBehindFacesTheRay)
{
    Scene scene;
    Buffers b(2, 1, 0);
    b.ray(0, 0, 2.0f, 3.0f, -1.0f);
    b.ray(1, 0, 2.0f, 3.0f, 1.0f, 1.0f, -5.0f);
    TraceRegion r = b.region();
    traceTile(scene.tracer, r, 0, 0, 1, 0);
    EXPECT_NEAR(widenHalf(b.normals[2]), 1.0f, 1e-3f);
    EXPECT_NEAR(widenHalf(b.normals[6]), -1.0f, 1e-3f);
    EXPECT_NEAR(widenHalf(b.positions[4]), 2.0f, 1e-3f);
}

TEST(PixelTracing, FootprintComesFromNeighbourRays)
{
    Scene scene;
    Buffers b(2, 2, 0);
    // Neighbours 2.5 texels away horizontally select level 2 (red 0.5).
    const float step = 2.5f / 16.0f * 10.0f;
    b.ray(0, 0, 2.0f, 3.0f, -1.0f);
    b.ray(1, 0, 2.0f + step, 3.0f, -1.0f);
    b.ray(0, 1, 2.0f, 3.0f + 0.01f, -1.0f);
    b.ray(1, 1, 2.0f + step, 3.01f, -1.0f);
    TraceRegion r = b.region();
    traceTile(scene.tracer, r, 0, 0, 1, 1);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(b.colors[p * 4], uint8_t(255 * 0.5f)) << p;
}

TEST(PixelTracing, OnePixelWideOrHighRegionHasNoFootprintOnThatAxis)
{
    Scene scene;
    {
        Buffers b(1, 2, 1);
        b.ray(0, 0, 5.0f, 2.0f, -1.0f);
        b.ray(0, 1, 5.0f, 2.01f, -1.0f);
        TraceRegion r = b.region();
        traceTile(scene.tracer, r, 0, 0, 0, 1);
        EXPECT_EQ(b.colors[0], 0);
        EXPECT_EQ(b.colors[4], 0);
    }
    {
        Buffers b(2, 1, 2);
        b.ray(0, 0, 2.0f, 5.0f, -1.0f);
        b.ray(1, 0, 2.01f, 5.0f, -1.0f);
        TraceRegion r = b.region();
        traceTile(scene.tracer, r, 0, 0, 5, 5);  // clipped to the region
        EXPECT_EQ(b.colors[0], 0);
        EXPECT_EQ(b.colors[4], 0);
    }
}

TEST(PixelTracing, NeighbourPairsAndLastColumnAndRow)
{
    Scene scene;
    const float far = 2.5f / 16.0f * 10.0f;  // 2.5 texels: level 2, red 0.5
    {
        Buffers b(3, 1, 0);
        b.ray(0, 0, 2.0f - far, 5.0f, -1.0f);
        b.ray(1, 0, 2.0f, 5.0f, -1.0f);
        b.ray(2, 0, 2.01f, 5.0f, -1.0f);
        TraceRegion r = b.region();
        traceTile(scene.tracer, r, 0, 0, 2, 0);
        EXPECT_EQ(b.colors[0], uint8_t(255 * 0.5f));  // pairs with column 1
        EXPECT_EQ(b.colors[4], uint8_t(255 * 0.5f));  // odd column pairs with column 0
        EXPECT_EQ(b.colors[8], 0);                    // last column pairs with column 1
    }
    {
        Buffers b(1, 3, 0);
        b.ray(0, 0, 5.0f, 2.0f - far, -1.0f);
        b.ray(0, 1, 5.0f, 2.0f, -1.0f);
        b.ray(0, 2, 5.0f, 2.01f, -1.0f);
        TraceRegion r = b.region();
        traceTile(scene.tracer, r, 0, 0, 0, 2);
        EXPECT_EQ(b.colors[0], uint8_t(255 * 0.5f));
        EXPECT_EQ(b.colors[4], uint8_t(255 * 0.5f));
        EXPECT_EQ(b.colors[8], 0);
    }
}

TEST(PixelTracing, NormalMapTiltsTowardsTangentAndMissingImagesAreWhiteAndFlat)
{
    Scene scene;
    RtImage normalMap;
    RtImageLevel level;
    level.width = level.height = 1;
    level.texels.push_back({1.0f, 0.5f, 0.5f, 1.0f});  // m = (1, 0, 0): along the tangent
    normalMap.levels.push_back(level);
    RtSurface& surface = scene.tracer.geometry.surfaces.back();

    Buffers b(1, 1, 0);
    b.ray(0, 0, 2.0f, 3.0f, -1.0f);
    TraceRegion r = b.region();
    surface.normalImage = &normalMap;
    traceTile(scene.tracer, r, 0, 0, 0, 0);
    EXPECT_NEAR(widenHalf(b.normals[0]), 1.0f, 1e-3f);
    EXPECT_NEAR(widenHalf(b.normals[2]), 0.0f, 1e-3f);

    surface.colorImage = nullptr;
    surface.normalImage = nullptr;
    traceTile(scene.tracer, r, 0, 0, 0, 0);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(b.colors[c], 255);
    EXPECT_NEAR(widenHalf(b.normals[0]), 0.0f, 1e-3f);
    EXPECT_NEAR(widenHalf(b.normals[2]), 1.0f, 1e-3f);
}

TEST(PixelTracing, TilesWriteWhatEachPixelTracedAloneWrites)
{
    // Tiles of odd sizes at odd places, so the 2 x 2 blocks the rays are gathered from are full,
    // cut by the tile's edge, or interrupted: every third pixel has no ray, some rays miss, the
    // rest hit at varying distances.
    Scene scene;
    const uint32_t w = 13, h = 5;
    Buffers tiled(w, h, 0), alone(w, h, 0);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const float ox = 0.7f * float(x) - 0.5f, oy = 1.9f * float(y) + 0.3f;
            const float dz = (x + y) % 5 == 4 ? 1.0f : -1.0f;
            const float marker = (x + 2 * y) % 3 == 0 ? 0.0f : 1.0f;
            tiled.ray(x, y, ox, oy, dz, marker);
            alone.ray(x, y, ox, oy, dz, marker);
        }
    TraceRegion t = tiled.region();
    const uint32_t tiledRays = traceTile(scene.tracer, t, 0, 0, 6, 2) + traceTile(scene.tracer, t, 7, 0, w - 1, h - 1) +
                               traceTile(scene.tracer, t, 0, 3, 6, h - 1);
    TraceRegion a = alone.region();
    int traced = 0;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = x + size_t(w) * y;
            float o[4], d[4];
            widenHalf4(a.origins + i * 4, o);
            widenHalf4(a.directions + i * 4, d);
            if (!(d[3] > 0.001f))
                continue;
            Ray ray = makeRay(o, d);
            tracePixel(scene.tracer.kdTree, a, ray, x, y);
            ++traced;
        }
    EXPECT_GT(traced, 30);
    EXPECT_EQ(tiledRays, uint32_t(traced));
    EXPECT_EQ(tiled.colors, alone.colors);
    EXPECT_EQ(tiled.normals, alone.normals);
    EXPECT_EQ(tiled.positions, alone.positions);
}
