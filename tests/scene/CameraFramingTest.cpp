#include "scene/CameraFraming.h"
#include "scene/Camera.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

Camera wideCamera(float aspect)
{
    Camera camera;
    camera.fieldOfView = 60.0f;
    camera.aspectRatio = aspect;
    camera.nearDistance = 0.1f;
    camera.farDistance = 10000.0f;
    return camera;
}

// Every corner inside every plane of the frustum.
bool boxInside(const Camera& camera, Float3 lo, Float3 hi)
{
    for (int corner = 0; corner < 8; ++corner) {
        const Float3 p{(corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y, (corner & 4) ? hi.z : lo.z};
        for (const Plane& plane : camera.frustum.planes)
            if (plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d < -1e-3f)
                return false;
    }
    return true;
}

}  // namespace

TEST(CameraFraming, TheWholeBoxIsInViewFromTheLightsSideLookingDown)
{
    const Float3 lo{-3, 0, 10}, hi{40, 5, 12};  // long and flat, away from the origin
    const Float3 sunDirection = normalize(Float3{-1, -2, 0.5f});
    for (float aspect : {16.0f / 9.0f, 0.5f}) {
        Camera camera = wideCamera(aspect);
        ASSERT_TRUE(frameBox(camera, lo, hi, sunDirection));
        EXPECT_TRUE(boxInside(camera, lo, hi)) << aspect;
        const Float3 centre = (lo + hi) * 0.5f;
        const Float3 toCamera = camera.position - centre;
        EXPECT_GT(dot(toCamera, -sunDirection), 0.0f);  // on the side the light comes from
        EXPECT_GT(toCamera.y, 0.0f);
        // Tight: a camera moved a tenth closer no longer sees all of it.
        Camera closer = camera;
        closer.setPosition(centre + toCamera * 0.9f);
        closer.updateTransform();
        closer.updateMatrices();
        EXPECT_FALSE(boxInside(closer, lo, hi)) << aspect;
    }
}

TEST(CameraFraming, EmptyBoxesLeaveTheCameraWhereItWas)
{
    Camera camera = wideCamera(1.0f);
    camera.setPosition({1, 2, 3});
    camera.updateTransform();
    EXPECT_FALSE(frameBox(camera, {10000, 10000, 10000}, {-10000, -10000, -10000}, {0, -1, 0}));
    EXPECT_EQ(camera.position, (Float3{1, 2, 3}));
    // A straight-down sun still gives a view.
    EXPECT_TRUE(frameBox(camera, {0, 0, 0}, {1, 1, 1}, {0, -1, 0}));
    EXPECT_TRUE(boxInside(camera, {0, 0, 0}, {1, 1, 1}));
}
