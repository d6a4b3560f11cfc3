#include "scene/CameraFraming.h"

#include "scene/Camera.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

// How far above the horizon the camera looks down on the box: high enough to see the tops of
// things and the ground they stand on, low enough to see their sides.
constexpr float kViewElevation = 20.0f * EnginePi / 180.0f;
// Room around the bounding sphere so that the box does not touch the picture's border.
constexpr float kMargin = 1.05f;

bool finite(Float3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

bool frameBox(Camera& camera, Float3 boxMin, Float3 boxMax, Float3 lightDirection)
{
    if (!finite(boxMin) || !finite(boxMax) || boxMin.x > boxMax.x || boxMin.y > boxMax.y || boxMin.z > boxMax.z)
        return false;
    const Float3 centre = (boxMin + boxMax) * 0.5f;
    const float radius = std::max(length(boxMax - boxMin) * 0.5f, 1e-3f);

    // Horizontal direction from the box towards the light.
    Float3 towardLight{-lightDirection.x, 0.0f, -lightDirection.z};
    towardLight = length(towardLight) > 1e-4f ? normalize(towardLight) : Float3{0.0f, 0.0f, -1.0f};

    // The camera looks along its local +z: yaw about world +y, then pitch down about its x axis.
    const Float3 forward{-towardLight.x * std::cos(kViewElevation), -std::sin(kViewElevation),
                         -towardLight.z * std::cos(kViewElevation)};
    const float yaw = std::atan2(forward.x, forward.z);
    const Quaternion orientation = fromAxisAngle({0.0f, 1.0f, 0.0f}, yaw) *
                                   fromAxisAngle({1.0f, 0.0f, 0.0f}, kViewElevation);

    // Back far enough that every corner of the box lies inside both the vertical and the
    // horizontal half-angle: a corner at offset o from the centre, seen from distance d, has depth
    // d + o·forward and needs |o·right| <= depth · tan(half horizontal), likewise vertically.
    const float tanVertical = std::tan(camera.fieldOfView * EnginePi / 360.0f);
    const float tanHorizontal = tanVertical * camera.aspectRatio;
    const Float3 right = normalize(cross(Float3{0.0f, 1.0f, 0.0f}, forward));
    const Float3 up = cross(forward, right);
    float distance = camera.nearDistance + radius;
    for (int corner = 0; corner < 8; ++corner) {
        const Float3 offset = boxCorner(boxMin, boxMax, corner) - centre;
        const float depthOffset = dot(offset, forward);
        distance = std::max(distance, std::fabs(dot(offset, right)) * kMargin / tanHorizontal - depthOffset);
        distance = std::max(distance, std::fabs(dot(offset, up)) * kMargin / tanVertical - depthOffset);
    }

    camera.setPosition(centre - forward * distance);
    camera.setOrientation(orientation);
    camera.updateTransform();
    camera.updateMatrices();
    return true;
}

}  // namespace Orvanta
