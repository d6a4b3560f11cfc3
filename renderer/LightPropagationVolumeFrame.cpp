#include "platform/gl/GlExtensions.h"
#include "renderer/LightPropagationVolumePasses.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

namespace Orvanta {

void Renderer::initLightPropagationVolumes()
{
    createLightPropagationVolumes(propagationVolumes);
    // Placing the map cameras now lets the first visibility update cull for them already.
    if (sunLight)
        for (LightPropagationVolume& volume : propagationVolumes.volumes)
            placeLightPropagationVolume(volume, sunLight->direction, mainCamera.position);
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());
    glViewport(0, 0, width(), height());
}

void Renderer::updateLightPropagationVolumes()
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i)
        updateLightPropagationVolume(*this, propagationVolumes, i);
}

void Renderer::drawLightPropagationVolumes()
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        drawVolumeDiffuse(*this, propagationVolumes, i);
        if (propagationVolumes.volumes[i].glossyReflections)
            drawVolumeGlossy(*this, propagationVolumes, i);
    }
}

}  // namespace Orvanta
