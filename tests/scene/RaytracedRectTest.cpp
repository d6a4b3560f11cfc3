#include "SceneTestSupport.h"

#include "scene/Camera.h"
#include "scene/RaytracedRect.h"
#include "scene/SceneView.h"

#include <cmath>
#include <vector>

using namespace Orvanta;
using OrvantaTest::boxCorners;

namespace {

// At the origin looking along +z with a 90 degree square view: a point (x, y, z) in front lands
// at screen ((-x / z + 1) / 2, (y / z + 1) / 2), since the camera's right is world -x.
struct RectFixture : ::testing::Test {
    RectFixture() : view(&camera)
    {
        camera.fieldOfView = 90.0f;
        camera.aspectRatio = 1.0f;
        camera.nearDistance = 0.1f;
        camera.farDistance = 100.0f;
        camera.updateMatrices();
    }

    void compute(std::vector<std::array<Float3, 8>> boxes)
    {
        std::vector<const Float3*> sets;
        for (const auto& b : boxes)
            sets.push_back(b.data());
        computeRaytracedRect(view, sets);
    }

    void expectRect(float left, float bottom, float right, float top)
    {
        EXPECT_NEAR(view.raytracedRect[0], left, 1e-4f);
        EXPECT_NEAR(view.raytracedRect[1], bottom, 1e-4f);
        EXPECT_NEAR(view.raytracedRect[2], right, 1e-4f);
        EXPECT_NEAR(view.raytracedRect[3], top, 1e-4f);
    }

    Camera camera;
    SceneView view;
};

}  // namespace

TEST_F(RectFixture, BoundsOfTheProjectedCorners)
{
    compute({boxCorners({0, 0, 2}, {1, 1, 4})});
    expectRect(0.25f, 0.5f, 0.5f, 0.75f);
}

TEST_F(RectFixture, UnionOverAllInstances)
{
    compute({boxCorners({0, 0, 2}, {1, 1, 4}), boxCorners({-1, -1, 4}, {-0.5f, -0.5f, 4})});
    expectRect(0.25f, 0.375f, 0.625f, 0.75f);
}

TEST_F(RectFixture, OneCornerBehindTheCameraMeansWholeScreen)
{
    view.raytracedRect[0] = 0.4f;
    compute({boxCorners({0, 0, 2}, {1, 1, 4}), boxCorners({-1, -1, -0.5f}, {1, 1, 3})});
    expectRect(0, 0, 1, 1);
}

TEST_F(RectFixture, CornerOnTheEyePlaneMeansWholeScreen)
{
    compute({boxCorners({0, 0, 0}, {1, 1, 3})});
    expectRect(0, 0, 1, 1);
    for (float v : view.raytracedRect)
        EXPECT_FALSE(std::isnan(v));
}

TEST_F(RectFixture, ClampedToTheScreen)
{
    // Spans from beyond the left edge (world +x) to the middle, and above the top edge.
    compute({boxCorners({0, 0, 1}, {5, 5, 1})});
    expectRect(0.0f, 0.5f, 0.5f, 1.0f);
}

TEST_F(RectFixture, BoxJustOffScreenGivesAnEmptyRectangleNotAnInvertedOne)
{
    compute({boxCorners({-5, -0.1f, 1}, {-3, 0.1f, 1})});
    EXPECT_LE(view.raytracedRect[0], view.raytracedRect[2]);
    EXPECT_FLOAT_EQ(view.raytracedRect[2], 1.0f);
}

TEST_F(RectFixture, NothingToLookAtKeepsTheOldRectangle)
{
    view.raytracedRect[0] = 0.1f;
    view.raytracedRect[1] = 0.2f;
    view.raytracedRect[2] = 0.3f;
    view.raytracedRect[3] = 0.4f;
    computeRaytracedRect(view, {});
    std::vector<const Float3*> onlyNull{nullptr};
    computeRaytracedRect(view, onlyNull);
    expectRect(0.1f, 0.2f, 0.3f, 0.4f);
}
