#include "renderer/ShadowProjection.h"
#include "renderer/ShadowCameras.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

// The start-up camera with a 16:9 perspective.
struct TestCamera {
    Camera camera;
    Float3 position;
    Quaternion orientation;
    Float3 forward;
    Frustum frustum;

    TestCamera()
    {
        camera.fieldOfView = 60.0f;
        camera.aspectRatio = 16.0f / 9.0f;
        camera.nearDistance = 0.1f;
        camera.farDistance = 10000.0f;
        camera.setPosition({12.504345f, 6.255634f, -6.039891f});
        camera.setOrientation({-0.13794975f, -0.34154350f, -0.050747287f, 0.92845172f});
        camera.updateMatrices();
        position = camera.position;
        orientation = camera.orientation;
        forward = viewingDirection(camera);
        frustum = camera.frustum;
    }
};

const float splits[6] = {0, 5, 15, 30, 50, 100};

Float3 startSunDirection()
{
    float t = -0.3454f;
    float i = -0.80855f;
    return {std::cos(t) * std::sin(i), -std::cos(t) * std::cos(i), -std::sin(t)};
}

}  // namespace

TEST(CascadeSlices, CornersLieInFrontOfTheCameraAtTheSplitDepths)
{
    TestCamera camera;
    Float3 corners[8];
    frustumSliceCorners(camera.position, camera.forward, camera.frustum.cornerRays, 5.0f, 15.0f, corners);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(dot(corners[i] - camera.position, camera.forward), 5.0f, 1e-3f);
        EXPECT_NEAR(dot(corners[4 + i] - camera.position, camera.forward), 15.0f, 1e-3f);
    }
    // Top-left is above and left of bottom-right as seen by the camera.
    Float3 up = rotate(camera.orientation, {0, 1, 0});
    EXPECT_GT(dot(corners[0] - corners[3], up), 0.0f);
}

TEST(CascadeSlices, TheFirstSphereContainsTheEye)
{
    TestCamera camera;
    Float3 corners[8];
    frustumSliceCorners(camera.position, camera.forward, camera.frustum.cornerRays, 0.0f, 5.0f, corners);
    for (int i = 0; i < 4; ++i)
        EXPECT_LT(length(corners[i] - camera.position), 1e-5f);
    BoundingSphere sphere = ritterBoundingSphere(corners, 8);
    EXPECT_LE(length(camera.position - sphere.center), sphere.radius);
}

TEST(CascadeSlices, EachSphereContainsItsEightSliceCorners)
{
    TestCamera camera;
    for (int cascade = 0; cascade < 5; ++cascade) {
        Float3 corners[8];
        frustumSliceCorners(camera.position, camera.forward, camera.frustum.cornerRays, splits[cascade],
                            splits[cascade + 1], corners);
        BoundingSphere sphere = ritterBoundingSphere(corners, 8);
        for (const Float3& c : corners)
            EXPECT_LE(length(c - sphere.center), sphere.radius * 1.00001f) << "cascade " << cascade;
    }
}

TEST(CascadeProjection, MapsTheSliceIntoTheShadowMap)
{
    TestCamera camera;
    SunLightBasis basis = makeSunLightBasis(startSunDirection());
    for (int cascade = 0; cascade < 5; ++cascade) {
        Float3 corners[8];
        frustumSliceCorners(camera.position, camera.forward, camera.frustum.cornerRays, splits[cascade],
                            splits[cascade + 1], corners);
        BoundingSphere sphere = ritterBoundingSphere(corners, 8);
        ShadowProjection shadow = cascadeShadowProjection(basis, sphere, 2.0f);
        EXPECT_FLOAT_EQ(shadow.uvSpaceSunLightRadius, 2.0f / sphere.radius);
        // Snapping moves the square by at most one step (two texels, 1/128 of its half-size).
        for (const Float3& c : corners) {
            Float3 clip = transformPoint(shadow.viewProjection, c);
            EXPECT_LE(std::fabs(clip.x), 1.0f + 1.0f / 128.0f + 1e-4f) << "cascade " << cascade;
            EXPECT_LE(std::fabs(clip.y), 1.0f + 1.0f / 128.0f + 1e-4f) << "cascade " << cascade;
            EXPECT_LE(std::fabs(clip.z), 1.0f);
        }
    }
}

TEST(CascadeProjection, LightDepthsFromMinus500To500FillTheDepthRange)
{
    SunLightBasis basis = makeSunLightBasis(normalize(Float3{0.2f, -1.0f, 0.4f}));
    ShadowProjection shadow = cascadeShadowProjection(basis, {{3, 1, 2}, 10.0f}, 2.0f);
    EXPECT_NEAR(transformPoint(shadow.viewProjection, basis.direction * 500.0f).z, 1.0f, 1e-5f);
    EXPECT_NEAR(transformPoint(shadow.viewProjection, basis.direction * -500.0f).z, -1.0f, 1e-5f);
    EXPECT_EQ(shadow.projection[15], 1.0f);
    EXPECT_EQ(shadow.projection[11], 0.0f);
}

TEST(CascadeProjection, CentreSnapsDownToATwoTexelGrid)
{
    SunLightBasis basis = makeSunLightBasis({0, -1, 0});  // light x = world x, light y = -world z
    float r = 8.0f;
    float step = 2.0f * r / 512.0f;
    ShadowProjection shadow = cascadeShadowProjection(basis, {{10.3f * step, 0, 0}, r}, 2.0f);
    // The square's centre is at light x = 10 steps: element 12 is -sx / r.
    EXPECT_NEAR(shadow.projection[12], -10.0f * step / r, 1e-6f);
    EXPECT_NEAR(shadow.projection[0], 1.0f / r, 1e-7f);
}

TEST(OverlappedProjection, CameraMotionWithinOneSnappingCellKeepsTheProjection)
{
    SunLightBasis basis = makeSunLightBasis(startSunDirection());
    for (float halfSize : {5.0f, 15.0f, 50.0f}) {
        float step = 2.0f * halfSize / 512.0f;
        // A camera a fifth of a step into a cell, in light x and y.
        Float3 start = basis.v * (37.2f * step) + basis.u * (-12.8f * step) + basis.direction * 3.0f;
        ShadowProjection before = overlappedShadowProjection(basis, start, halfSize, 0.4f);
        for (Float3 move : {basis.v * (0.7f * step), basis.u * (0.7f * step),
                            basis.v * (0.5f * step) + basis.u * (0.6f * step), basis.direction * 40.0f}) {
            ShadowProjection after = overlappedShadowProjection(basis, start + move, halfSize, 0.4f);
            for (int e = 0; e < 16; ++e)
                EXPECT_FLOAT_EQ(after.viewProjection[e], before.viewProjection[e])
                    << "half-size " << halfSize << " element " << e;
        }
        // Leaving the cell shifts the square by exactly one step.
        ShadowProjection next = overlappedShadowProjection(basis, start + basis.v * (1.0f * step), halfSize, 0.4f);
        EXPECT_NEAR(next.projection[12] - before.projection[12], -step / halfSize, 1e-5f);
        EXPECT_FLOAT_EQ(before.uvSpaceSunLightRadius, 0.4f / halfSize);
    }
}

TEST(OverlappedProjection, CoversItsSquareAndTheDepthsFromMinus150To100)
{
    SunLightBasis basis = makeSunLightBasis(normalize(Float3{-0.4f, -0.7f, 0.1f}));
    Float3 camera{4.0f, 2.0f, -9.0f};
    ShadowProjection shadow = overlappedShadowProjection(basis, camera, 15.0f, 0.4f);
    Float3 clip = transformPoint(shadow.viewProjection, camera);
    EXPECT_GE(clip.x, 0.0f);  // the snapped centre lies at or below the camera
    EXPECT_LT(clip.x, 2.0f / 512.0f + 1e-5f);
    Float3 edge = transformPoint(shadow.viewProjection, camera + basis.v * 14.9f);
    EXPECT_LT(edge.x, 1.0f);
    Float3 lightPlaneOrigin = camera - basis.direction * dot(basis.direction, camera);
    EXPECT_NEAR(transformPoint(shadow.viewProjection, lightPlaneOrigin + basis.direction * 100.0f).z, 1.0f, 1e-4f);
    EXPECT_NEAR(transformPoint(shadow.viewProjection, lightPlaneOrigin - basis.direction * 150.0f).z, -1.0f, 1e-4f);
}

TEST(CascadeSlices, AnUnbuiltCameraGivesAFiniteCascade)
{
    Camera camera;  // frustum rays still zero
    SunLightBasis basis = makeSunLightBasis({0, -1, 0});
    ShadowProjection shadow = cascadeShadowProjectionFor(camera, basis, 5.0f, 15.0f, 2.0f);
    for (float e : shadow.viewProjection.m)
        EXPECT_TRUE(std::isfinite(e));
}

TEST(ShadowCamera, TakesTheMapsMatricesAndFrustum)
{
    TestCamera view;
    SunLightBasis basis = makeSunLightBasis(startSunDirection());
    ShadowProjection shadow = cascadeShadowProjectionFor(view.camera, basis, 0.0f, 5.0f, 2.0f);
    Camera shadowCamera;
    placeShadowCamera(shadowCamera, shadow);
    for (int e = 0; e < 16; ++e) {
        EXPECT_EQ(shadowCamera.viewProjectionMatrix[e], shadow.viewProjection[e]);
        EXPECT_EQ(shadowCamera.viewMatrix[e], shadow.view[e]);
    }
    // The eye is inside the first cascade's culling volume; a point far across the light is not.
    auto inside = [&](Float3 p) {
        for (const Plane& plane : shadowCamera.frustum.planes)
            if (plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d < 0.0f)
                return false;
        return true;
    };
    EXPECT_TRUE(inside(view.position));
    EXPECT_FALSE(inside(view.position + basis.v * 100.0f));
}
