#pragma once

namespace Orvanta {

class Renderer;
struct RayTracingSet;

// Lights the reflections' G-buffer into the current element of the reflection targets, within
// the traced region's scissor: a stencil mark of the ray-traced surfaces, the light propagation
// volumes' light, the lights (the sun with the overlapped shadow maps), the sky for missed rays, then, at a tracing resolution below
// the screen's, the border correction into the other element. The rasterised G-buffer is no
// longer current afterwards; the caller sets it back.
void drawRayTracedLighting(Renderer& renderer, RayTracingSet& set);

}  // namespace Orvanta
