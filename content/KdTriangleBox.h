#pragma once
#include "content/KdTriAccel.h"
#include "scene/Math.h"

#include <cstdint>

namespace Orvanta {

// Exact triangle-box overlap: a vertex inside the box (inclusive), a triangle edge crossing the
// box, or a box edge crossing the triangle (through the triangle's projection data, so a triangle
// without area is found only by the first two tests).
bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const Float3 v[3], const TriAccel& accel);

// What the exact test derives from the triangle alone, computed once per triangle instead of once
// per box and laid out one lane per vertex or edge: the corners and, per edge from corner j to
// corner j + 1, its length, unit direction and the direction's reciprocals. The values are the
// ones the test above computes itself.
struct alignas(16) TriangleBoxEdges {
    float corner[3][4];     // [axis][vertex]; lane 3 repeats vertex 0
    float direction[3][4];  // [axis][edge]; lane 3 unused
    float inverse[3][4];    // 1 / direction where the component is not zero, else 0
    float length[4];        // lane 3 is 0, which rules the lane out
    uint32_t degenerate;    // the projection data describes no triangle (zero area)
};

TriangleBoxEdges prepareTriangleBoxEdges(const Float3 v[3], const TriAccel& accel);

// The exact test above from the prepared edges of the triangle whose projection data is accel:
// the three vertices, the three edges and four box edges at a time, each lane taking the scalar
// test's single-precision steps, so the answer is the same bit for bit.
bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const TriangleBoxEdges& edges,
                         const TriAccel& accel);

}  // namespace Orvanta
