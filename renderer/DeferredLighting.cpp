#include "renderer/DirectLightingPass.h"
#include "renderer/RaytracedLighting.h"
#include "renderer/Renderer.h"

namespace Orvanta {

void Renderer::lightTracedSurfaces(RaytracedGBuffer& traced, PingPongTargets& targets)
{
    const PassContext context = passContext();
    beginRaytracedLighting(context, rayTracing, mainCamera, targets);
    if (featureOn(SkyLighting))
        drawSkyLighting(context, skyLighting, {&traced, &frustumVectors});
    if (featureOn(LightPropagationVolumes))
        drawLightPropagationVolumes(context, propagationVolumes, {&traced, &frustumVectors});
    if (featureOn(DirectLighting))
        drawDirectLights(context, mainGBuffer,
                         {&lightList, &mainCamera, &frustumVectors, width(), height(), nullptr, &traced});
    finishRaytracedLighting(context, rayTracing, traced, targets);
}

}  // namespace Orvanta
