#include "platform/gl/GlExtensions.h"
#include "renderer/LightPropagationVolumePasses.h"
#include "renderer/PassTimer.h"
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

void Renderer::updateLightPropagationVolumes()
{
    // The volumes are independent of each other, so each stage runs over all three before the
    // next one; the pass list then times the stages apart.
    const bool occlusion = renderSettingOn(LpvOcclusion);
    {
        PassScope pass(*this, "light propagation maps and injection");
        for (int i = 0; i < LightPropagationVolumeCount; ++i) {
            if (sunLight)
                placeLightPropagationVolume(propagationVolumes.volumes[i], sunLight->direction, mainCamera.position);
            renderReflectiveShadowMap(*this, propagationVolumes, i);
            injectLights(*this, propagationVolumes, i);
        }
    }
    if (occlusion) {
        PassScope pass(*this, "geometry volume injection");
        for (int i = 0; i < LightPropagationVolumeCount; ++i)
            fillGeometryVolume(*this, propagationVolumes, i);
    }
    PassScope pass(*this, occlusion ? "occluded light propagation" : "light propagation");
    for (int i = 0; i < LightPropagationVolumeCount; ++i)
        for (unsigned step = 0; step < propagationVolumes.volumes[i].propagationSteps; ++step)
            propagateOneStep(*this, propagationVolumes, i);
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
