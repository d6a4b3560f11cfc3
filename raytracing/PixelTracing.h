#pragma once
#include "content/KdTree.h"
#include "raytracing/Ray.h"
#include "raytracing/RayTracer.h"

#include <cstdint>

namespace Orvanta {

// Which rays a region's directions hold. Reflection rays start at the origin. Refraction rays
// start the origin's w along their direction, past the surface they pass through (the origin
// lies in front of it, on the viewer's side), and go on through glass and water they meet: the
// surface they leave, where the origin's half-float rounding put the start short of it, and
// panes further on, which let light pass straight.
enum class TracedRays { Reflection, Refraction };

// The traced region's per-pixel arrays, each width × height texels, pixel (x, y) at x + width·y.
// Inputs are four half floats per texel (w of a direction > 0.001 marks a pixel with a ray);
// outputs are RGBA bytes for colour and four half floats for normal and position.
struct TraceRegion {
    uint32_t width = 0;
    uint32_t height = 0;
    const uint16_t* origins = nullptr;
    const uint16_t* directions = nullptr;
    uint8_t* colors = nullptr;
    uint16_t* normals = nullptr;
    uint16_t* positions = nullptr;
    TracedRays rays = TracedRays::Reflection;
};

struct ShadedHit {
    float position[3] = {0, 0, 0};
    float normal[3] = {0, 0, 0};
    float color[4] = {0, 0, 0, 0};
};

// G-buffer values of the ray's hit. The texture footprint comes from the rays of the horizontal
// and vertical neighbour pixels; along an axis on which the region is one pixel wide there is no
// neighbour inside the region, so that axis contributes no footprint.
ShadedHit shadeHit(const RayTracingGeometry& geometry, const TraceRegion& region, const Ray& ray, uint32_t x,
                   uint32_t y);

// Traverses and writes the outputs of pixel (x, y); hits at 9000 or farther count as misses,
// which only set the position's w to 1. In a refraction region the ray goes on through the glass
// and water it meets first (its start, set up by the caller, is not moved here).
void tracePixel(const KdTree& tree, const TraceRegion& region, Ray& ray, uint32_t x, uint32_t y);

// Traces the inclusive tile row by row; pixels without a ray are left untouched. Tile bounds
// outside the region are clipped to it. Refraction rays start the origin's w along their
// direction (TracedRays). Returns the number of rays traced.
uint32_t traceTile(const RayTracer& tracer, const TraceRegion& region, uint32_t x0, uint32_t y0, uint32_t x1,
                   uint32_t y1);

// Gives every pixel of the inclusive tile the outputs of a pixel without a ray: colour and
// normal 0, position (0, 0, 0, 1). The lighting passes leave such a pixel dark, as they do a
// missed ray, and the sky step skips it for having no ray. Bounds are clipped like traceTile's.
void clearTileOutputs(const TraceRegion& region, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1);

}  // namespace Orvanta
