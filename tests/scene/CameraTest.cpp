#include "SceneTestSupport.h"

#include "scene/Camera.h"

#include <random>

using namespace Orvanta;
using OrvantaTest::boxCorners;
using OrvantaTest::expectNear;

namespace {

Camera makeCamera(Float3 position, Quaternion orientation)
{
    Camera c;
    c.fieldOfView = 60.0f;
    c.aspectRatio = 16.0f / 9.0f;
    c.nearDistance = 0.1f;
    c.farDistance = 100.0f;
    c.setPosition(position);
    c.setOrientation(orientation);
    c.updateMatrices();
    return c;
}

bool tinyBoxVisible(const Camera& c, Float3 p)
{
    auto corners = boxCorners(p - Float3{0.01f, 0.01f, 0.01f}, p + Float3{0.01f, 0.01f, 0.01f});
    return obbInFrustum(corners.data(), c.frustum);
}

}  // namespace

TEST(Camera, ViewMatrixPutsTheEyeAtTheOriginLookingDownMinusZ)
{
    Camera c = makeCamera({1, 2, 3}, fromAxisAngle({0, 1, 0}, 1.5707963f));
    // Looking along world +x: a point ahead lands on eye -z, the camera's left (world -z) on -x.
    expectNear(transformPoint(c.viewMatrix, {1, 2, 3}), {0, 0, 0});
    expectNear(transformPoint(c.viewMatrix, {6, 2, 3}), {0, 0, -5});
    expectNear(transformPoint(c.viewMatrix, {1, 2, 2}), {-1, 0, 0});
    expectNear(transformPoint(c.viewMatrix, {1, 3, 3}), {0, 1, 0});
}

TEST(Camera, YawOnlyKeepsRightVectorHorizontalAndLastRowFixed)
{
    Camera c = makeCamera({0, 0, 0}, fromAxisAngle({0, 1, 0}, 0.8f));
    EXPECT_NEAR(c.viewMatrix[4], 0.0f, 1e-6f);  // s.y
    EXPECT_EQ(c.viewMatrix[3], 0.0f);
    EXPECT_EQ(c.viewMatrix[7], 0.0f);
    EXPECT_EQ(c.viewMatrix[11], 0.0f);
    EXPECT_EQ(c.viewMatrix[15], 1.0f);
}

TEST(Camera, BoxStraddlingTheNearPlaneStaysVisible)
{
    Camera c = makeCamera({0, 0, 0}, {});
    auto corners = boxCorners({-0.5f, -0.5f, -1.0f}, {0.5f, 0.5f, 1.0f});
    EXPECT_TRUE(obbInFrustum(corners.data(), c.frustum));
    auto behind = boxCorners({-0.5f, -0.5f, -3.0f}, {0.5f, 0.5f, -1.0f});
    EXPECT_FALSE(obbInFrustum(behind.data(), c.frustum));
}

TEST(CameraProperties, PointsInsideTheFieldOfViewAreInsideTheFrustum)
{
    std::mt19937 rng(4321);
    std::uniform_real_distribution<float> coord(-20.0f, 20.0f), unit(-1.0f, 1.0f),
        angle(-3.14f, 3.14f), distance(1.0f, 90.0f);
    float tanHalfY = std::tan(30.0f * 3.14159265f / 180.0f);
    float tanHalfX = tanHalfY * 16.0f / 9.0f;
    for (int n = 0; n < 300; ++n) {
        Quaternion q = fromAxisAngle({unit(rng), unit(rng) + 1.5f, unit(rng)}, angle(rng));
        Camera c = makeCamera({coord(rng), coord(rng), coord(rng)}, q);
        float d = distance(rng);
        // Within 90% of the half-angles, in the camera's own frame (right is local -x).
        Float3 local{-unit(rng) * 0.9f * tanHalfX * d, unit(rng) * 0.9f * tanHalfY * d, d};
        Float3 inFront = c.position + rotate(q, local);
        Float3 behind = c.position - rotate(q, local);
        ASSERT_TRUE(tinyBoxVisible(c, inFront)) << "pose " << n;
        ASSERT_FALSE(tinyBoxVisible(c, behind)) << "pose " << n;
        // The view matrix is the inverse pose with eye x and z flipped.
        Matrix4 flip = multiply(c.viewMatrix, c.worldMatrix);
        const float expected[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
        for (int i = 0; i < 16; ++i)
            ASSERT_NEAR(flip[i], expected[i], 1e-3f) << "pose " << n << " element " << i;
    }
}

TEST(Camera, CornerRaysRunAlongTheFrustumEdges)
{
    // The screen's left is world +x for a camera looking along +z.
    Camera c = makeCamera({0, 0, 0}, {});
    float ty = std::tan(30.0f * 3.14159265f / 180.0f), tx = ty * 16.0f / 9.0f;
    expectNear(c.frustum.cornerRays[Frustum::TopLeft], normalize(Float3{tx, ty, 1}));
    expectNear(c.frustum.cornerRays[Frustum::TopRight], normalize(Float3{-tx, ty, 1}));
    expectNear(c.frustum.cornerRays[Frustum::BottomLeft], normalize(Float3{tx, -ty, 1}));
    expectNear(c.frustum.cornerRays[Frustum::BottomRight], normalize(Float3{-tx, -ty, 1}));
}
