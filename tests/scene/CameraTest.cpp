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
    std::uniform_real_distribution<float> coord(-20.0f, 20.0f), unit(-1.0f, 1.0f), angle(-3.14f, 3.14f),
        distance(1.0f, 90.0f);
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

TEST(Camera, FrustumRaysBlendTheCornersAndProjectToTheirPixel)
{
    Camera c = makeCamera({3, 2, -1}, normalize(Quaternion{0.1f, -0.3f, 0.05f, 0.95f}));
    const Frustum& f = c.frustum;
    expectNear(frustumRay(f, 0, 0), f.cornerRays[Frustum::TopLeft]);
    expectNear(frustumRay(f, 1, 0), f.cornerRays[Frustum::TopRight]);
    expectNear(frustumRay(f, 0, 1), f.cornerRays[Frustum::BottomLeft]);
    expectNear(frustumRay(f, 1, 1), f.cornerRays[Frustum::BottomRight]);
    // A point along the ray through (u, v) lands on that spot of the image: x = 2u - 1, y = 1 - 2v.
    for (float u : {0.1f, 0.5f, 0.83f})
        for (float v : {0.2f, 0.5f, 0.9f}) {
            const Float3 p = c.position + frustumRay(f, u, v) * 7.0f;
            const float clip[4] = {c.viewProjectionMatrix.m[0] * p.x + c.viewProjectionMatrix.m[4] * p.y +
                                       c.viewProjectionMatrix.m[8] * p.z + c.viewProjectionMatrix.m[12],
                                   c.viewProjectionMatrix.m[1] * p.x + c.viewProjectionMatrix.m[5] * p.y +
                                       c.viewProjectionMatrix.m[9] * p.z + c.viewProjectionMatrix.m[13],
                                   0.0f,
                                   c.viewProjectionMatrix.m[3] * p.x + c.viewProjectionMatrix.m[7] * p.y +
                                       c.viewProjectionMatrix.m[11] * p.z + c.viewProjectionMatrix.m[15]};
            EXPECT_NEAR(clip[0] / clip[3], 2.0f * u - 1.0f, 1e-4f) << u << ", " << v;
            EXPECT_NEAR(clip[1] / clip[3], 1.0f - 2.0f * v, 1e-4f) << u << ", " << v;
        }
}
