#pragma once
#include "content/KdTriAccel.h"
#include "scene/Math.h"

namespace Orvanta {

// Exact triangle-box overlap: a vertex inside the box (inclusive), a triangle edge crossing the
// box, or a box edge crossing the triangle (through the triangle's projection data, so a triangle
// without area is found only by the first two tests).
bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const Float3 v[3],
                         const TriAccel& accel);

}  // namespace Orvanta
