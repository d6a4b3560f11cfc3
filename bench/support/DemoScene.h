#pragma once
#include "content/RayTracingGeometry.h"
#include "scene/Math.h"

#include <string>

namespace OrvantaBench {

// A copy of the geometry that keeps only the triangles whose boxes lie inside [lo, hi] on x and z.
// Surfaces are shared with the source, which must outlive the copy.
void keepTrianglesInside(const Orvanta::RayTracingGeometry& source, Orvanta::Float3 lo, Orvanta::Float3 hi,
                         Orvanta::RayTracingGeometry& out);

// The start camera of the demo at the given aspect ratio.
struct ViewRays {
    Orvanta::Float3 eye;
    Orvanta::Frustum frustum;
    // The direction through the centre of pixel (x, y) of a width x height image, row 0 at the top.
    Orvanta::Float3 through(int x, int y, int width, int height) const;
};
ViewRays startView(float aspectRatio);

}  // namespace OrvantaBench
