#pragma once
#include "scene/Math.h"

namespace Orvanta {

// The yard is laid out in its own frame: the origin is the foot of the lookout tower on which
// the start camera stands, +z points along the camera's horizontal viewing direction and +x to
// the left of the picture. Everything placed in the yard goes through this frame.
struct YardFrame {
    Float3 origin;
    float yawAngle = 0.0f;  // rotation about +y taking yard axes to world axes

    Float3 toWorld(Float3 local) const;
    Quaternion orientation(float extraYaw = 0.0f) const;
};

YardFrame kindergartenYard();

// Yard-frame extents of the fenced area.
constexpr float YardLeft = 30.0f;    // x
constexpr float YardRight = -30.0f;  // x
constexpr float YardNear = -6.0f;    // z
constexpr float YardFar = 60.0f;     // z

// The building's footprint in the yard frame: its front wall faces the camera.
constexpr float BuildingCenterX = 0.0f;
constexpr float BuildingFrontZ = 40.0f;

// Height of the lookout tower's deck (the camera's eye is about 1.75 m above it).
constexpr float TowerDeckHeight = 4.5f;

}  // namespace Orvanta
