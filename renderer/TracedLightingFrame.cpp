#include "renderer/RaytracedLighting.h"
#include "renderer/Renderer.h"

namespace Orvanta {

TracedLightingInputs Renderer::tracedLighting(RaytracedGBuffer& traced, PingPongTargets& targets)
{
    TracedLightingInputs in;
    in.traced = &traced;
    in.targets = &targets;
    in.view = &mainCamera;
    in.rays = &frustumVectors;
    if (featureOn(SkyLighting))
        in.skyLighting = &skyLighting;
    if (featureOn(LightPropagationVolumes))
        in.volumes = &propagationVolumes;
    if (featureOn(DirectLighting))
        in.directLighting = &mainGBuffer;
    in.lights = {&lightList, &mainCamera, &frustumVectors, width(), height(), nullptr, &traced};
    return in;
}

}  // namespace Orvanta
