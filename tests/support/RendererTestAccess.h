#pragma once
#include "renderer/Renderer.h"
#include "renderer/SkyPass.h"

namespace Orvanta {

// The renderer's pass sets and frame steps, for tests that drive one pass alone or read a target
// the frame leaves behind. Renderer names this struct its friend and only the tests define it, so
// the application, the tools and the benchmarks see the renderer's public surface alone.
struct RendererTestAccess {
    static unsigned windowFramebuffer(const Renderer& r) { return r.windowFramebuffer(); }
    // The camera matrices as the frame loads them at its start.
    static void loadViewMatrices(Renderer& r) { r.loadViewMatrices(); }
    static void updateSunAndSkyMap(Renderer& r) { Orvanta::updateSunAndSkyMap(r.passContext(), r.sky, r.sunLight); }
    static PassContext passContext(Renderer& r) { return r.passContext(); }

    static GBuffer& gBuffer(Renderer& r) { return r.mainGBuffer; }
    static const HdrSet& hdrSet(const Renderer& r) { return r.hdr; }
    static SkySet& skySet(Renderer& r) { return r.sky; }
    static ShadowMapSet& shadowMaps(Renderer& r) { return r.shadows; }
    static const SsaoSet& ssaoSet(const Renderer& r) { return r.ssao; }
    static LightPropagationVolumeSet& lightPropagationVolumes(Renderer& r) { return r.propagationVolumes; }
    static const SkyLightingVolume& skyLightingVolume(const Renderer& r) { return r.skyLighting; }
    static FrameBufferStack& frameBufferStack(Renderer& r) { return r.frameBuffers; }
    static TextureUnitTable& textureUnitTable(Renderer& r) { return r.textureUnits; }
};

}  // namespace Orvanta
