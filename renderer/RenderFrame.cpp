#include "platform/gl/GlExtensions.h"
#include "platform/RenderSurface.h"
#include "renderer/AntiAliasingPass.h"
#include "renderer/DirectLightingPass.h"
#include "renderer/HdrPass.h"
#include "renderer/IrradianceProbePass.h"
#include "renderer/RaytracedFrame.h"
#include "renderer/RaytracedLighting.h"
#include "renderer/Renderer.h"
#include "renderer/SceneSteps.h"
#include "renderer/ShadowMapRendering.h"
#include "renderer/SkyPass.h"
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
    SunLight* sun = sunLight;
    RayTracingSet& rt = rayTracing;

    pass("frame set-up", true, [&] { setUpFrame(); });
    pass("ray casting pre-pass", casting, [&] { drawRayCastingPrePass(context, rt, mainCamera); });
    pass("ray read-back", casting, [&] { readBackRayInput(context, rt, renderSettingOn(Refraction)); });
    pass("G-buffer", true, [&] { fillGBuffer(context, mainGBuffer, mainCamera); });
    pass("sun colour and sky map", true, [&] { updateSunAndSkyMap(context, sky, sunLight); });
    // The propagated light reads the sky lighting volume too (how open each surface is to the sky).
    pass("sky lighting volume", skyLit || volumes, [&] { updateSkyLightingVolume(context, skyLighting); });
    pass("light propagation maps and injection", volumes, [&] { injectVolumeLights(context, lpv, lpvIn); });
    pass("geometry volume injection", volumes && lpvIn.occlusion, [&] { fillGeometryVolumes(context, lpv, lpvIn); });
    pass(propagation, volumes, [&] { propagateVolumeLight(context, lpv, lpvIn); });
    cpuPass("irradiance probe update", probes, [&] { updateIrradianceProbes(irradianceProbes, probeUpdateInputs()); });
    pass("cascaded shadow maps", direct && sun, [&] { updateCascadedShadowMaps(context, shadows, *sun, mainCamera); });
    pass("scene target", true, [&] { beginSceneTarget(context, hdr); });
    pass("stencil mark", true, [&] { markCoveredPixels(context, mainCamera); });
    // From here to the end of the lights, lighting touches covered pixels only.
    pass("stencil: covered pixels", true, [&] { limitToCoveredPixels(); });
    // The probes light the pixels inside their grid and raise their stencil to 2, so that the sky
    // lighting and the volumes' light leave them; the volumes' glossy reflections are added after.
    pass("irradiance probes", probes, [&] { drawIrradianceProbes(context, irradianceProbes, {}); });
    pass("sky lighting", skyLit, [&] { drawSkyLighting(context, skyLighting, {nullptr, &frustumVectors}); });
    pass("light propagation volumes", volumes, [&] { drawLightPropagationVolumes(context, lpv, volumeLight); });
    pass("stencil: probe-lit pixels", true, [&] { limitToProbeLitPixels(); });
    pass("glossy light on probe light", probes && volumes,
         [&] { drawLightPropagationGlossy(context, lpv, volumeLight); });
    // Every covered pixel again, probe-lit or not.
    pass("stencil: every covered pixel", true, [&] { limitToEveryCoveredPixel(); });
    pass("ambient occlusion", featureOn(Ssao), [&] { drawSsao(context, ssao, ssaoInputs); });
    const DirectLightInputs lights{&lightList, &mainCamera, &frustumVectors, width(), height(), &lightMask, nullptr};
    pass("direct lighting", direct, [&] { drawDirectLights(context, mainGBuffer, lights); });
    pass("stencil off", true, [&] { endStencilTest(); });
    pass("sky", true, [&] { drawSkyDome(context, mainCamera); });
    pass("transparency", true, [&] { drawTransparentSurfaces(context, mainCamera); });
    // Hands the GPU its work before the CPU traces.
    pass("flush", true, [&] { glFlush(); });
    const bool traced = rayTracing.raysPending;
    cpuPass("ray tracing on the CPU", traced, [&] { traceRays(rayTracing); });
    pass("ray-traced upload", traced, [&] { uploadTracedRays(rayTracing); });
    pass("overlapped shadow maps", traced && direct && sun,
         [&] { updateOverlappedShadowMaps(context, shadows, *sun, mainCamera); });
    pass("ray-traced lighting", traced,
         [&] { lightTracedSurfaces(context, rt, tracedLighting(rt.reflections, rt.reflectionTargets)); });
    // Without a refraction ray (no glass or water in view, or all of it reflecting totally) the
    // composite has nothing to read from the refraction targets and their lighting is skipped.
    const bool refractionsLit = traced && rayTracing.refracting;
    const bool refr = refractionsLit && rayTracing.lastFrame.refractionRays > 0;
    pass("ray-traced refraction lighting", refr,
         [&] { lightTracedSurfaces(context, rt, tracedLighting(rt.refractions, rt.refractionTargets)); });
    pass("ray-traced composite", traced, [&] { compositeRaytracedSurfaces(context, rt, mainCamera, refractionsLit); });
    pass("scene target done", true, [&] { endSceneTarget(context); });
    pass("temporal anti-aliasing", temporalAntiAliasingOn(),
         [&] { resolveTemporalHistory(context, temporal, temporalInputs()); });
    pass("display encoding on", true, [&] { glEnable(GL_FRAMEBUFFER_SRGB); });
    // With a fixed exposure the eye neither measures nor adapts.
    pass("luminance and eye adaptation", !hdr.exposureFixed(), [&] { measureLuminance(context, hdr); });
    const ToneMapInputs toneMapInputs{hdr.fixedExposure, smoothEdges ? &antiAliasing.input : nullptr};
    pass("tone mapping", true, [&] { toneMap(context, hdr, toneMapInputs); });
    pass("anti-aliasing", smoothEdges, [&] { drawAntiAliasing(context, antiAliasing); });
    pass("display encoding off", true, [&] { glDisable(GL_FRAMEBUFFER_SRGB); });
    pass("overlay", overlay != nullptr, [&] { overlay->drawOverlay(overlayTarget()); });
    pass("present", true, [&] { surface->swapBuffers(); });
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
