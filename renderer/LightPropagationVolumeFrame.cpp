#include "platform/gl/GlExtensions.h"
#include "renderer/LightPropagationVolumePasses.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

namespace Orvanta {

void Renderer::initLightPropagationVolumes()
{
    createLightPropagationVolumes(propagationVolumes);
    placeLightPropagationVolumes();
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());
    glViewport(0, 0, width(), height());
}

void Renderer::placeLightPropagationVolumes()
{
    if (!sunLight)
        return;
    for (LightPropagationVolume& volume : propagationVolumes.volumes)
        placeLightPropagationVolume(volume, sunLight->direction, mainCamera.position);
}

VolumeUpdateInputs Renderer::volumeUpdateInputs() const
{
    VolumeUpdateInputs inputs;
    inputs.sun = sunLight;
    inputs.cameraPosition = mainCamera.position;
    inputs.propagateSunLighting = featureOn(PropagateSunLighting);
    inputs.propagateSkyLighting = featureOn(PropagateSkyLighting);
    inputs.occlusion = renderSettingOn(LpvOcclusion);
    return inputs;
}

}  // namespace Orvanta
