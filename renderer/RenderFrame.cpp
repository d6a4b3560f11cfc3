#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/GlStateCheck.h"
#include "platform/RenderSurface.h"
#include "renderer/PassTimer.h"
#include "renderer/RaytracedFrame.h"
#include "renderer/Renderer.h"
#include "renderer/SsaoPass.h"
#include "scene/Light.h"

namespace Orvanta {

PassScope::PassScope(Renderer& r, const char* passName, bool cpuWork) : renderer(r), name(passName)
{
    if (renderer.passTimer)
        renderer.passTimer->begin(name, cpuWork);
}

PassScope::~PassScope()
{
    if (renderer.passTimer)
        renderer.passTimer->end();
    if (glDebugEnabled()) {
        checkGlErrors(name);
        checkConventionState(name);
    }
}

void Renderer::renderFrame()
{
    if (!ready)
        return;
    fitTargetsToSurface();
    {
        PassScope pass(*this, "frame set-up");
        setUpFrame();
    }
    drawRayCastingPrePass(*this, rayTracing);
    {
        PassScope pass(*this, "G-buffer");
        fillGBuffer();
    }
    currentGBuffer = &mainGBuffer;
    {
        PassScope pass(*this, "sun colour and sky map");
        updateSunAndSkyMap();
    }
    advanceSkyLightingVolume();
    if (featureOn(LightPropagationVolumes))
        updateLightPropagationVolumes();
    if (featureOn(DirectLighting)) {
        PassScope pass(*this, "cascaded shadow maps");
        renderCascadedShadowMaps();
    }
    pushFrameBuffer(&hdr.scene);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    {
        PassScope pass(*this, "stencil mark");
        markCoveredPixels();
    }
    // From here to the end of the lights, lighting touches covered pixels only.
    glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    addSkyLighting();
    if (featureOn(LightPropagationVolumes)) {
        PassScope pass(*this, "light propagation volumes");
        drawLightPropagationVolumes();
    }
    if (featureOn(Ssao)) {
        PassScope pass(*this, "ambient occlusion");
        drawSsao(ssao, {mainGBuffer.depthTexture(), &frustumVectors, this, &frameBuffers, &textureUnits});
    }
    if (featureOn(DirectLighting)) {
        PassScope pass(*this, "direct lighting");
        for (Light* light : lightList)
            drawDirectLight(*light);
    }
    glDisable(GL_STENCIL_TEST);
    {
        PassScope pass(*this, "sky");
        drawSkyDome();
    }
    {
        PassScope pass(*this, "transparency");
        drawTransparentSurfaces();
    }
    glFlush();
    drawRayTracedSurfaces(*this, rayTracing);
    popFrameBuffer();
    resolveTemporalAntiAliasing();
    glEnable(GL_FRAMEBUFFER_SRGB);
    // With a fixed exposure the eye neither measures nor adapts.
    if (!hdr.exposureFixed()) {
        PassScope pass(*this, "luminance and eye adaptation");
        measureLuminance();
    }
    toneMapAndSmoothEdges();
    if (overlay) {
        PassScope pass(*this, "overlay");
        overlay->drawOverlay(*this);
    }
    surface->swapBuffers();
}

}  // namespace Orvanta
