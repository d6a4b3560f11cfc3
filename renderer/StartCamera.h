#pragma once
#include "scene/Math.h"

namespace Orvanta {

class Camera;

// The pose the main camera starts in: on the lookout tower, looking over the yard. Benchmarks
// and tools that want "the start view" use the same values.
inline constexpr Float3 kStartCameraPosition{12.504345f, 6.255634f, -6.039891f};
inline constexpr Quaternion kStartCameraOrientation{-0.13794975f, -0.34154350f, -0.050747287f, 0.92845172f};

// Gives a camera the main camera's projection (60° vertical, near 0.1, far 10000) at this aspect
// ratio and the start pose, with its matrices and frustum up to date.
void placeAtStartView(Camera& camera, float aspectRatio);

}  // namespace Orvanta
