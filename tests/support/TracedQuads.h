#pragma once
#include "content/RayTracingGeometry.h"
#include "content/RtImage.h"

namespace OrvantaTest {

// Appends a surface and a parallelogram of it to a ray tracer's geometry: corners c, c + u, c + u + v,
// c + v as two triangles facing along cross(u, v), vertex normals that way, tangent along u and
// binormal along v. The kd-tree is built afterwards.
void addTracedQuad(Orvanta::RayTracingGeometry& geometry, const Orvanta::RtSurface& surface, Orvanta::Float3 corner,
                   Orvanta::Float3 u, Orvanta::Float3 v);

// An image of one texel of this grey value (alpha 1): a surface's uniform albedo or specular
// intensity.
Orvanta::RtImage solidImage(float value);

}  // namespace OrvantaTest
