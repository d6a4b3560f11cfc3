#pragma once

namespace Orvanta {

class Renderer;
struct RayTracingSet;

// The two steps of the frame that carry the ray-traced reflections and refractions. Both run only while the
// raytracing switch is on and the camera's view has ray-traced instances; otherwise no worker
// runs and the reflection textures keep their contents.

// Before the G-buffer: cuts the view's ray-traced rectangle into the tracer's region and tiles,
// draws the ray-casting pre-pass into the ray-input target (a z-fill with colour writes off, then
// the "RAYCASTING" passes) and reads the rays back, the refraction rays only while the refraction
// setting is on.
void drawRayCastingPrePass(Renderer& renderer, RayTracingSet& set);

// After the transparent surfaces, into the HDR target: traces on the workers, uploads the hits,
// lights them (the refractions' too, while the refraction setting is on and the frame has
// refraction rays), sets the rasterised G-buffer current again and composites the reflections and
// refractions over the ray-traced surfaces (their z-fill, then their "RAYTRACED" passes blended
// with one and one minus source alpha).
void drawRayTracedSurfaces(Renderer& renderer, RayTracingSet& set);

}  // namespace Orvanta
