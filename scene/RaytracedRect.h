#pragma once
#include "scene/Math.h"

#include <span>

namespace Orvanta {

struct SceneView;

// Computes view.raytracedRect (left, bottom, right, top in 0..1) from the eight world-space box
// corners of each ray-traced instance, projected with the view camera's viewProjectionMatrix.
// Each entry of cornerSets points at the eight corners of one instance, in the order of
// view.raytracedObjects; a null entry is skipped.
//
// When a corner lies behind the camera (or exactly on its eye plane, where the projection has no
// finite value) the rectangle is the whole screen (0, 0, 1, 1). Otherwise it is the bounds of the
// projected corners, clamped into 0..1 on all four sides, so a box that lies just off-screen
// gives an empty rectangle on the border instead of an inverted one.
//
// With no corners to look at (an empty span, or only null entries) the rectangle keeps its old
// value, as it does for a view without ray-traced instances. A view without a camera logs an
// error and gets the whole screen.
void computeRaytracedRect(SceneView& view, std::span<const Float3* const> cornerSets);

}  // namespace Orvanta
