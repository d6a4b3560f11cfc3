#pragma once

namespace Orvanta {

class Renderer;
class RaytracedGBuffer;
struct PingPongTargets;
struct RayTracingSet;

// Lights a traced G-buffer (the reflections' or the refractions') into the current element of its
// targets, within the traced region's scissor: a stencil mark of the ray-traced surfaces, the sky
// lighting, the light propagation volumes' light, the lights (the sun with the overlapped shadow
// maps, rendered beforehand), the sky for missed rays, then, at a tracing resolution below the
// screen's, the border correction into the other element. The rasterised G-buffer is no longer
// current afterwards; the caller sets it back.
void drawRaytracedLighting(Renderer& renderer, RayTracingSet& set, RaytracedGBuffer& traced,
                           PingPongTargets& targets);

}  // namespace Orvanta
