#include "platform/gl/GlExtensions.h"
#include "platform/RenderSurface.h"
#include "renderer/AntiAliasingPass.h"
#include "renderer/HdrPass.h"
#include "renderer/RaytracedFrame.h"
#include "renderer/Renderer.h"
#include "renderer/SsaoPass.h"
#include "renderer/TemporalResolvePass.h"

namespace Orvanta {

// The frame's passes in order, one line each with the switch that gates it; the pass timer's
// names are the ones given here.
void Renderer::renderFrame()
{
    if (!ready)
        return;
    fitTargetsToSurface();
    const PassContext context = passContext();
    const bool volumes = featureOn(LightPropagationVolumes);
    const bool skyLit = featureOn(SkyLighting);
    const bool direct = featureOn(DirectLighting);
    const bool probes = renderSettingOn(IrradianceProbes);
    const bool casting = castsRays(rayTracing, mainCamera, featureOn(Raytracing));
    const VolumeUpdateInputs lpvIn = volumeUpdateInputs();
    const char* propagation = lpvIn.occlusion ? "occluded light propagation" : "light propagation";
    const VolumeLightInputs volumeLight{nullptr, &frustumVectors};
    const SsaoInputs ssaoInputs{mainGBuffer.depthTexture(), &frustumVectors};
    const bool smoothEdges = renderSettingOn(AntiAliasing) && !temporalAntiAliasingOn() && antiAliasing.created();
    LightPropagationVolumeSet& lpv = propagationVolumes;
    RayTracingSet& rt = rayTracing;

    pass("frame set-up", true, [&] { setUpFrame(); });
    pass("ray casting pre-pass", casting, [&] { drawRayCastingPrePass(context, rt, mainCamera); });
    pass("ray read-back", casting, [&] { readBackRayInput(context, rt, renderSettingOn(Refraction)); });
    pass("G-buffer", true, [&] { fillGBuffer(); });
    pass("sun colour and sky map", true, [&] { updateSunAndSkyMap(); });
    // The propagated light reads the sky lighting volume too (how open each surface is to the sky).
    pass("sky lighting volume", skyLit || volumes, [&] { updateSkyLightingVolume(context, skyLighting); });
    pass("light propagation maps and injection", volumes, [&] { injectVolumeLights(context, lpv, lpvIn); });
    pass("geometry volume injection", volumes && lpvIn.occlusion, [&] { fillGeometryVolumes(context, lpv, lpvIn); });
    pass(propagation, volumes, [&] { propagateVolumeLight(context, lpv, lpvIn); });
    cpuPass("irradiance probe update", probes, [&] { updateIrradianceProbes(irradianceProbes, probeUpdateInputs()); });
    pass("cascaded shadow maps", direct, [&] { renderCascadedShadowMaps(); });
    pushFrameBuffer(&hdr.scene);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    pass("stencil mark", true, [&] { markCoveredPixels(); });
    // From here to the end of the lights, lighting touches covered pixels only.
    glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    // The probes light the pixels inside their grid and raise their stencil to 2, so that the sky
    // lighting and the volumes' light leave them; the volumes' glossy reflections are added after.
    pass("irradiance probes", probes, [&] { drawIrradianceProbes(context, irradianceProbes, nullptr); });
    pass("sky lighting", skyLit, [&] { drawSkyLighting(context, skyLighting, {nullptr, &frustumVectors}); });
    pass("light propagation volumes", volumes, [&] { drawLightPropagationVolumes(context, lpv, volumeLight); });
    glStencilFunc(GL_EQUAL, 2, 0xFFFFFFFFu);
    pass("glossy light on probe light", probes && volumes,
         [&] { drawLightPropagationGlossy(context, lpv, volumeLight); });
    // Every covered pixel again, probe-lit or not.
    glStencilFunc(GL_LEQUAL, 1, 0xFFFFFFFFu);
    pass("ambient occlusion", featureOn(Ssao), [&] { drawSsao(context, ssao, ssaoInputs); });
    pass("direct lighting", direct, [&] { drawDirectLights(); });
    glDisable(GL_STENCIL_TEST);
    pass("sky", true, [&] { drawSkyDome(); });
    pass("transparency", true, [&] { drawTransparentSurfaces(); });
    glFlush();
    const bool traced = rayTracing.raysPending;
    cpuPass("ray tracing on the CPU", traced, [&] { traceRays(rayTracing); });
    pass("ray-traced upload", traced, [&] { uploadTracedRays(rayTracing); });
    pass("overlapped shadow maps", traced && direct, [&] { renderOverlappedShadowMaps(); });
    pass("ray-traced lighting", traced, [&] { lightTracedSurfaces(rt.reflections, rt.reflectionTargets); });
    // Without a refraction ray (no glass or water in view, or all of it reflecting totally) the
    // composite has nothing to read from the refraction targets and their lighting is skipped.
    const bool refractionsLit = traced && rayTracing.refracting;
    const bool refr = refractionsLit && rayTracing.lastFrame.refractionRays > 0;
    pass("ray-traced refraction lighting", refr, [&] { lightTracedSurfaces(rt.refractions, rt.refractionTargets); });
    pass("ray-traced composite", traced, [&] { compositeRaytracedSurfaces(context, rt, mainCamera, refractionsLit); });
    popFrameBuffer();
    pass("temporal anti-aliasing", temporalAntiAliasingOn(),
         [&] { resolveTemporalHistory(temporal, temporalInputs()); });
    glEnable(GL_FRAMEBUFFER_SRGB);
    // With a fixed exposure the eye neither measures nor adapts.
    pass("luminance and eye adaptation", !hdr.exposureFixed(), [&] { measureLuminance(context, hdr); });
    const ToneMapInputs toneMapInputs{hdr.fixedExposure, smoothEdges ? &antiAliasing.input : nullptr};
    pass("tone mapping", true, [&] { toneMap(context, hdr, toneMapInputs); });
    pass("anti-aliasing", smoothEdges, [&] { drawAntiAliasing(antiAliasing, {this, &textureUnits}); });
    glDisable(GL_FRAMEBUFFER_SRGB);
    pass("overlay", overlay != nullptr, [&] { overlay->drawOverlay(overlayTarget()); });
    surface->swapBuffers();
}

PassContext Renderer::passContext()
{
    return PassContext{frameBuffers, scissors, textureUnits, *this, *this};
}

OverlayTarget Renderer::overlayTarget()
{
    return OverlayTarget{width(), height(), windowFramebuffer(), &textureUnits};
}

}  // namespace Orvanta
