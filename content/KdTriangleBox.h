#pragma once
#include "content/KdTriAccel.h"
#include "scene/Math.h"

namespace Orvanta {

// What the exact triangle-box test derives from the triangle alone, computed once per triangle
// instead of once per box: the corners and, per edge from corner j to corner j + 1, its length,
// unit direction and the direction's reciprocals. The values are those the test computes itself,
// so a test reading them gives the same answer bit for bit.
struct TriangleBoxEdges {
    float corner[3][3];
    float direction[3][3];
    float inverse[3][3];  // 1 / direction, where the component is not zero
    float length[3];
    bool degenerate;  // the projection data describes no triangle (zero area)
};

TriangleBoxEdges prepareTriangleBoxEdges(const Float3 v[3], const TriAccel& accel);

// Exact triangle-box overlap: a vertex inside the box (inclusive), a triangle edge crossing the
// box, or a box edge crossing the triangle (through the triangle's projection data, so a triangle
// without area is found only by the first two tests).
bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const Float3 v[3],
                         const TriAccel& accel);
// The same test from the prepared edges of the triangle whose projection data is accel.
bool triangleOverlapsBox(const Float3& boxMin, const Float3& boxMax, const TriangleBoxEdges& edges,
                         const TriAccel& accel);

}  // namespace Orvanta
