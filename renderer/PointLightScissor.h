#pragma once
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

class Light;

struct ScissorRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Points that enclose a point light's reach: the eight corners of the cube of its radius around
// its position.
std::vector<Float3> pointLightBoundingPoints(const Light& light);

// The screen rectangle around the projected bounding points, in pixels of a target of the given
// size. Projected points are clamped to the target, so points left of or below the screen widen
// the rectangle to its edge instead of wrapping around. When any point lies on or behind the
// camera plane its projection says nothing about the footprint, and the rectangle is the whole
// target. No points give an empty rectangle.
ScissorRect projectedScissor(const std::vector<Float3>& points, const Matrix4& viewProjection, int width, int height);

}  // namespace Orvanta
