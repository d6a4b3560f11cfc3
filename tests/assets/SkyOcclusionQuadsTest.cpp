// The demo scene's sky occlusion quads against the building they stand for: each is a
// parallelogram of its first three corners lying on the building's walls or roof.
#include "content/ObjectFile.h"
#include "content/SceneFile.h"
#include "content/SkyOcclusion.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

const std::string ScenePath = "resources/objects/scene/kindergarten.scene";

struct Triangle {
    Float3 a, b, c;
};

std::vector<Triangle> buildingTriangles(const SceneFileData& scene)
{
    std::vector<Triangle> triangles;
    for (const SceneInstanceRecord& instance : scene.instances) {
        if (instance.objectName != "building.object")
            continue;
        ObjectFileData object;
        std::string error;
        EXPECT_TRUE(readObjectFile(sceneDirectory(ScenePath) + instance.objectName, object, error)) << error;
        Matrix4 world = composeTransform(instance.position, instance.orientation, instance.scale);
        for (size_t i = 0; i + 2 < object.indices.size(); i += 3)
            triangles.push_back({transformPoint(world, object.vertices[object.indices[i]].position),
                                 transformPoint(world, object.vertices[object.indices[i + 1]].position),
                                 transformPoint(world, object.vertices[object.indices[i + 2]].position)});
    }
    return triangles;
}

// Whether some triangle lies within `tolerance` of the plane through p with unit normal n and
// contains p's projection onto it.
bool onSomeTriangle(const std::vector<Triangle>& triangles, Float3 p, Float3 n, float tolerance)
{
    for (const Triangle& t : triangles) {
        Float3 tn = cross(t.b - t.a, t.c - t.a);
        float area = length(tn);
        if (area < 1e-6f || std::fabs(dot(tn / area, n)) < 0.999f)
            continue;
        if (std::fabs(dot(t.a - p, n)) > tolerance || std::fabs(dot(t.b - p, n)) > tolerance ||
            std::fabs(dot(t.c - p, n)) > tolerance)
            continue;
        Float3 q = p + n * dot(t.a - p, n);
        float w0 = dot(cross(t.b - q, t.c - q), tn);
        float w1 = dot(cross(t.c - q, t.a - q), tn);
        float w2 = dot(cross(t.a - q, t.b - q), tn);
        if (w0 >= 0.0f && w1 >= 0.0f && w2 >= 0.0f)
            return true;
    }
    return false;
}

}  // namespace

TEST(SkyOcclusionQuads, EveryDemoQuadIsAParallelogramOnTheBuildingsWallsOrRoof)
{
    SceneFileData scene;
    std::string error;
    ASSERT_TRUE(readSceneFile(ScenePath, scene, error)) << error;
    std::vector<Triangle> building = buildingTriangles(scene);
    ASSERT_FALSE(building.empty());
    // Each wall as three full-length strips and the piers between its windows (seven columns on
    // the long walls, two on the short ones), the door's leaf (which splits the front wall's lowest
    // strip in two), two roof planes and the two gables as two halves each.
    ASSERT_EQ(scene.quads.size(), 2u * (3 + 8) + 2u + 2u * (3 + 3) + 2u + 4u);
    int roofs = 0;
    for (size_t q = 0; q < scene.quads.size(); ++q) {
        const Float3* c = scene.quads[q].corners;
        // The stored fourth corner agrees with the rule in x and y; its z is not in the record.
        Float3 fourth = parallelogramFourthCorner(c[0], c[1], c[2]);
        EXPECT_NEAR(c[3].x, fourth.x, 1e-3f) << "quad " << q;
        EXPECT_NEAR(c[3].y, fourth.y, 1e-3f) << "quad " << q;
        EXPECT_EQ(c[3].z, 0.0f) << "quad " << q;

        Float3 u = c[0] - c[1];
        Float3 v = c[2] - c[1];
        Float3 n = normalize(cross(u, v));
        EXPECT_GT(length(u), 0.5f) << "quad " << q;
        EXPECT_GT(length(v), 0.5f) << "quad " << q;
        if (std::fabs(n.y) > 0.1f)
            ++roofs;
        else
            EXPECT_LT(std::fabs(n.y), 1e-4f) << "walls stand upright: quad " << q;
        // Most of the parallelogram is building surface (the tiles lie a hand's breadth above the
        // roof's underside; a gable half's lower part lies on the side wall below the eaves).
        int covered = 0;
        int samples = 0;
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 8; ++j) {
                Float3 p = c[1] + u * ((static_cast<float>(i) + 0.5f) / 8.0f) +
                           v * ((static_cast<float>(j) + 0.5f) / 8.0f);
                covered += onSomeTriangle(building, p, n, 0.25f) ? 1 : 0;
                ++samples;
            }
        EXPECT_GE(covered, samples * 6 / 10)
            << "quad " << q << " lies on the building at " << covered << " of " << samples << " points";
    }
    EXPECT_EQ(roofs, 2);
}
