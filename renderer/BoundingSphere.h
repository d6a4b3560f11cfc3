#pragma once
#include "scene/Math.h"

namespace Orvanta {

struct BoundingSphere {
    Float3 center;
    float radius = 0.0f;
};

// Ritter's approximate bounding sphere of `count` points:
// 1. per axis, the points with the smallest and the largest coordinate, scanning from the first
//    point; a later point takes over only when strictly smaller (or strictly larger), so ties keep
//    the earlier point, and a point that became the new minimum is not tested as maximum;
// 2. the farthest-apart of the three pairs (ties: x before y before z) gives the first sphere;
// 3. each point outside grows the sphere just enough to include it, in order.
// The result contains every point (up to rounding). An empty list gives a zero sphere.
BoundingSphere ritterBoundingSphere(const Float3* points, int count);

}  // namespace Orvanta
