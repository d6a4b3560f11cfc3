#pragma once
#include "content/RayTracingGeometry.h"
#include "scene/Math.h"

#include <string>
#include <vector>

namespace OrvantaBench {

// The ray-tracing geometry of a scene file, read without a GL context: material flags come from
// the material files' own text, images from their TGA files.
struct LoadedScene {
    std::string tag;
    Orvanta::RayTracingGeometry geometry;
};

// False with a message on stderr when the scene file cannot be read.
bool loadSceneGeometry(const std::string& scenePath, LoadedScene& scene);

// A copy of the geometry that keeps only the triangles whose boxes lie inside [lo, hi] on x and z.
// Surfaces are shared with the source, which must outlive the copy.
void keepTrianglesInside(const Orvanta::RayTracingGeometry& source, Orvanta::Float3 lo,
                         Orvanta::Float3 hi, Orvanta::RayTracingGeometry& out);

// The start camera of the demo: eye and the four unit corner rays (top-left, top-right,
// bottom-left, bottom-right) at the given aspect ratio.
struct ViewRays {
    Orvanta::Float3 eye;
    Orvanta::Float3 corners[4];
    // The direction through the centre of pixel (x, y) of a width x height image, row 0 at the top.
    Orvanta::Float3 through(int x, int y, int width, int height) const;
};
ViewRays startView(float aspectRatio);

}  // namespace OrvantaBench
