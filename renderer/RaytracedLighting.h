#pragma once
#include "renderer/PassContext.h"

namespace Orvanta {

class RaytracedGBuffer;
struct PingPongTargets;
struct RayTracingSet;

// Lighting a traced G-buffer (the reflections' or the refractions') into the current element of
// its targets, within the traced region's scissor, in two halves around the light the caller adds
// (the sky lighting, the light propagation volumes' light, the lights with the sun through the
// overlapped shadow maps, each reading the traced buffer):
// beginRaytracedLighting pushes the scissor and the target, clears it and marks the ray-traced
// surfaces in the stencil (only those pixels are touched from then on);
// finishRaytracedLighting draws the sky for missed rays, pops the target and flips the targets,
// then, at a tracing resolution below the screen's, corrects the borders into the other element,
// and pops the scissor. Missed rays and pixels without a ray have a zero normal, which the sky
// lighting and the volumes skip.
void beginRaytracedLighting(const PassContext& context, const RayTracingSet& set, SceneView& view,
                            PingPongTargets& targets);
void finishRaytracedLighting(const PassContext& context, const RayTracingSet& set, RaytracedGBuffer& traced,
                             PingPongTargets& targets);

}  // namespace Orvanta
