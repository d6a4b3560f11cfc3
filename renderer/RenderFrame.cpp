#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/GlStateCheck.h"
#include "platform/RenderSurface.h"
#include "renderer/PassTimer.h"
#include "renderer/RayTracedFrame.h"
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

void Renderer::loadViewMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(mainCamera.projectionMatrix.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(mainCamera.viewMatrix.m);
}

void Renderer::renderFrame()
{
    if (!ready)
        return;
    {
        PassScope pass(*this, "frame set-up");
        loadViewMatrices();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        frustumVectors = unitDepthFrustumVectors(mainCamera);
    }
    drawRayCastingPrePass(*this, rayTracing);
    {
        PassScope pass(*this, "G-buffer");
        pushFrameBuffer(&mainGBuffer.frameBuffer);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawScene(ScenePassKind::DeferredWrite, mainCamera);
        popFrameBuffer();
    }
    currentGBuffer = &mainGBuffer;
    {
        PassScope pass(*this, "sun colour and sky map");
        updateSunAndSkyMap();
    }
    if (featureOn(LightPropagationVolumes)) {
        PassScope pass(*this, "light propagation volumes update");
        updateLightPropagationVolumes();
    }
    if (featureOn(DirectLighting)) {
        PassScope pass(*this, "cascaded shadow maps");
        renderCascadedShadowMaps();
    }
    pushFrameBuffer(&hdr.scene);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    {
        // Every pixel opaque geometry covers gets stencil 1 and the scene's depth.
        PassScope pass(*this, "stencil mark");
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
        glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        drawScene(ScenePassKind::ZFill, mainCamera);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    // From here to the end of the lights, lighting touches covered pixels only.
    glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
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
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glDepthMask(GL_FALSE);
        // The view's rotation without its translation keeps the dome centred on the viewer.
        Matrix4 rotationOnly = mainCamera.viewMatrix;
        rotationOnly[12] = rotationOnly[13] = rotationOnly[14] = 0.0f;
        glLoadMatrixf(rotationOnly.m);
        drawScene(ScenePassKind::Sky, mainCamera);
        glDepthMask(GL_TRUE);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    {
        PassScope pass(*this, "transparency");
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        drawScene(ScenePassKind::Transparency, mainCamera);
        glDisable(GL_BLEND);
    }
    glFlush();
    drawRayTracedReflections(*this, rayTracing);
    popFrameBuffer();
    {
        PassScope pass(*this, "luminance and eye adaptation");
        glEnable(GL_FRAMEBUFFER_SRGB);
        measureLuminance();
    }
    {
        PassScope pass(*this, "tone mapping");
        toneMap();
        glDisable(GL_FRAMEBUFFER_SRGB);
        unbindAllTextureUnits();
        glUseProgramObjectARB(0);
    }
    if (overlay) {
        PassScope pass(*this, "overlay");
        overlay->drawOverlay(*this);
    }
    surface->swapBuffers();
}

}  // namespace Orvanta
