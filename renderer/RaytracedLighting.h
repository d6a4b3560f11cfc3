#pragma once
#include "renderer/DirectLightingPass.h"
#include "renderer/PassContext.h"

namespace Orvanta {

class RaytracedGBuffer;
struct PingPongTargets;
struct RayTracingSet;
struct SkyLightingVolume;

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

// What lighting one traced G-buffer reads: the buffer and its ping-pong targets, the view whose
// ray-traced surfaces are marked, the camera's corner rays, and the sets of the passes that add
// light to it, each null while its switch is off (the direct lights' inputs name the traced
// buffer).
struct TracedLightingInputs {
    RaytracedGBuffer* traced = nullptr;
    PingPongTargets* targets = nullptr;
    SceneView* view = nullptr;
    const FrustumVectors* rays = nullptr;
    const SkyLightingVolume* skyLighting = nullptr;
    LightPropagationVolumeSet* volumes = nullptr;
    GBuffer* directLighting = nullptr;
    DirectLightInputs lights;
};

// Lights the inputs' traced G-buffer into its targets: begin, the sky lighting, the volumes' light
// and the lights, finish.
void lightTracedSurfaces(const PassContext& context, const RayTracingSet& set, const TracedLightingInputs& inputs);

}  // namespace Orvanta
