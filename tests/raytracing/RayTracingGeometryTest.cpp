#include "content/RayTracingGeometry.h"
#include "content/ObjectFile.h"
#include "platform/Log.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

using namespace Orvanta;

namespace {

ObjectVertex vertex(Float3 p, Float3 n)
{
    ObjectVertex v;
    v.position = p;
    v.normal = n;
    v.tangent = {0, 1, 0};
    v.binormal = {0, 0, 1};
    v.texCoord[0] = p.x;
    v.texCoord[1] = p.y;
    return v;
}

SubmeshRecord submesh(const std::string& material, uint32_t first, uint32_t last)
{
    SubmeshRecord s;
    s.materialName = material;
    s.firstTriangle = first;
    s.lastTriangle = last;
    return s;
}

// Three triangles over six vertices; the middle submesh uses a transparent material.
std::string writeThreeSubmeshObject(const std::string& dir)
{
    ObjectFileData data;
    data.header = "test object";
    for (int i = 0; i < 6; ++i)
        data.vertices.push_back(vertex({float(i), float(i % 2), 0.0f}, {1, 0, 0}));
    data.indices = {0, 1, 2, 1, 2, 3, 3, 4, 5};
    data.submeshes = {submesh("wall", 0, 0), submesh("glass", 1, 1), submesh("cloth", 2, 2)};
    data.submeshes[2].specularPower = 24.0f;
    data.minCorner = {0, 0, 0};
    data.maxCorner = {5, 1, 0};
    const std::string path = dir + "/three.object";
    std::string error;
    EXPECT_TRUE(writeObjectFile(path, data, error)) << error;
    return path;
}

// Glass is transparent; cloth is double-sided, alpha-tested and has a mirror pass and optics.
SurfaceFlags testFlags(const std::string& materialPath)
{
    SurfaceFlags flags;
    flags.isTransparent = materialPath == "resources/materials/glass.material";
    if (materialPath == "resources/materials/cloth.material") {
        flags.isDoubleSided = flags.isAlphaTested = flags.hasMirrorPass = true;
        flags.alphaTestThreshold = 0.3f;
        flags.optics = {0.25f, {1, 1, 1}, 1.2f, true, {0.5f, 0.6f, 0.7f}};
    }
    return flags;
}

void expectNear(Float3 actual, Float3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

}  // namespace

TEST(RayTracingGeometry, TransparentSubmeshBecomesASheetAndLaterSubmeshesKeepTheirTriangles)
{
    const std::string path = writeThreeSubmeshObject(OrvantaTest::makeTempDir("rtgeom"));
    RayTracingGeometry geometry;
    ASSERT_TRUE(appendInstanceGeometry(geometry, path, {0, 0, 0}, {1, 1, 1}, Quaternion{}, testFlags));

    ASSERT_EQ(geometry.vertices.size(), 6u);
    ASSERT_EQ(geometry.triangles.size(), 2u);
    ASSERT_EQ(geometry.surfaces.size(), 3u);
    // The glass stays out of the kd-tree's triangles, as a sheet for the reference tracer.
    ASSERT_EQ(geometry.sheets.size(), 1u);
    const RtTriangle& sheet = geometry.sheets[0];
    EXPECT_EQ((std::array<uint32_t, 3>{sheet.index0, sheet.index1, sheet.index2}), (std::array<uint32_t, 3>{1, 2, 3}));
    EXPECT_EQ(sheet.surface->transparent, 1);
    const RtTriangle& first = geometry.triangles[0];
    const RtTriangle& last = geometry.triangles[1];
    EXPECT_EQ((std::array<uint32_t, 3>{first.index0, first.index1, first.index2}), (std::array<uint32_t, 3>{0, 1, 2}));
    EXPECT_EQ((std::array<uint32_t, 3>{last.index0, last.index1, last.index2}), (std::array<uint32_t, 3>{3, 4, 5}));
    EXPECT_NE(first.surface, last.surface);
    EXPECT_EQ(first.surface->doubleSided, 0);
    EXPECT_EQ(last.surface->doubleSided, 1);
    EXPECT_EQ(first.surface->colorImage, nullptr);
    EXPECT_EQ(first.surface->normalImage, nullptr);
    EXPECT_EQ(first.surface->specularImage, nullptr);  // no name: the renderer's default intensity
    // The specular power comes from the object file, the rest from the material lookup.
    EXPECT_EQ(last.surface->specularPower, 24.0f);
    EXPECT_TRUE(last.surface->alphaTested && last.surface->hasMirrorPass && last.surface->alphaTestThreshold == 0.3f);
    EXPECT_EQ(last.surface->optics, testFlags("resources/materials/cloth.material").optics);
    expectNear(last.boxMin, {3, 0, 0});
    expectNear(last.boxMax, {5, 1, 0});
}

TEST(RayTracingGeometry, InstancePlacedTwiceGivesTwoWorldCopiesWithSeparateSurfaces)
{
    const std::string path = writeThreeSubmeshObject(OrvantaTest::makeTempDir("rtgeom"));
    RayTracingGeometry geometry;
    // A quarter turn about +y takes +x to -z.
    const float h = std::sqrt(0.5f);
    const Quaternion quarterTurn{0.0f, h, 0.0f, h};
    ASSERT_TRUE(appendInstanceGeometry(geometry, path, {10, 0, 0}, {2, 2, 2}, Quaternion{}, testFlags));
    ASSERT_TRUE(appendInstanceGeometry(geometry, path, {0, 5, 0}, {1, 1, 1}, quarterTurn, testFlags));

    ASSERT_EQ(geometry.vertices.size(), 12u);
    ASSERT_EQ(geometry.triangles.size(), 4u);
    ASSERT_EQ(geometry.sheets.size(), 2u);
    ASSERT_EQ(geometry.surfaces.size(), 6u);

    // Vertex 5 of the object is (5, 1, 0) with normal +x.
    expectNear(geometry.vertices[5].position, {20, 2, 0});
    // Through the cofactor, as the G-buffer write transforms normals: scaled by the scale squared,
    // not renormalised.
    expectNear(geometry.vertices[5].normal, {4, 0, 0});
    expectNear(geometry.vertices[11].position, {0, 6, -5});
    expectNear(geometry.vertices[11].normal, {0, 0, -1});
    expectNear(geometry.vertices[11].tangent, {0, 1, 0});
    expectNear(geometry.vertices[11].binormal, {1, 0, 0});
    EXPECT_FLOAT_EQ(geometry.vertices[11].texCoord[0], 5.0f);
    EXPECT_FLOAT_EQ(geometry.vertices[11].texCoord[1], 1.0f);

    const RtTriangle& copy = geometry.triangles[3];
    EXPECT_EQ(copy.index0, 9u);
    EXPECT_EQ(copy.index2, 11u);
    expectNear(copy.boxMin, {0, 5, -5});
    expectNear(copy.boxMax, {0, 6, -3});
    expectNear(geometry.triangles[1].boxMin, {16, 0, 0});
    expectNear(geometry.triangles[1].boxMax, {20, 2, 0});
    EXPECT_NE(geometry.triangles[1].surface, copy.surface);
    EXPECT_EQ(copy.surface->doubleSided, 1);
}

TEST(RayTracingGeometry, UnreadableObjectIsReportedAndAddsNothing)
{
    const std::string dir = OrvantaTest::makeTempDir("rtgeom");
    RayTracingGeometry geometry;
    std::string logged;
    setLogSink([&](const std::string& message) { logged += message + "\n"; });
    const bool ok = appendInstanceGeometry(geometry, dir + "/missing.object", {0, 0, 0}, {1, 1, 1}, Quaternion{},
                                           testFlags);
    setLogSink(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(geometry.vertices.empty());
    EXPECT_TRUE(geometry.triangles.empty());
    EXPECT_TRUE(geometry.surfaces.empty());
    EXPECT_NE(logged.find("missing.object"), std::string::npos) << logged;
}
