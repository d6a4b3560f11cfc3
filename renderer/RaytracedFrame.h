#pragma once
#include "renderer/PassContext.h"

namespace Orvanta {

struct RayTracingSet;
class RenderCamera;

// The steps of the frame that carry the ray-traced reflections and refractions, each one timed
// pass. The frame runs the first two only while the raytracing switch is on and the camera's view
// has ray-traced instances (castsRays), the rest only while rays are pending from them; otherwise
// no worker runs and the reflection textures keep their contents.

// Whether the frame casts rays: the switch is on, the tracer is attached and the view holds
// ray-traced instances.
bool castsRays(const RayTracingSet& set, const RenderCamera& camera, bool raytracingOn);

// Before the G-buffer: cuts the view's ray-traced rectangle into the tracer's region and tiles and
// draws the ray-casting pre-pass into the ray-input target (a z-fill with colour writes off, then
// the "RAYCASTING" passes), which stays bound for the read-back.
void drawRayCastingPrePass(const PassContext& context, RayTracingSet& set, RenderCamera& camera);
// Reads the rays back, the refraction rays only with `refraction` on, and unbinds the ray input.
void readBackRayInput(const PassContext& context, RayTracingSet& set, bool refraction);

// After the transparent surfaces, into the HDR target, with the traced lighting between:
// composites the reflections and refractions over the ray-traced surfaces (their z-fill, then
// their "RAYTRACED" passes blended with one and one minus source alpha). The refractions are
// blended in only when this frame lit them. Reads the last finished image of each pair of the set.
void compositeRaytracedSurfaces(const PassContext& context, const RayTracingSet& set, RenderCamera& camera,
                                bool refractionsLit);

}  // namespace Orvanta
