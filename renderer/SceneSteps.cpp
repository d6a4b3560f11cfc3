#include "renderer/SceneSteps.h"

#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/MatrixStack.h"
#include "scene/RenderCamera.h"

namespace Orvanta {

void fillGBuffer(const PassContext& context, GBuffer& gBuffer, RenderCamera& camera)
{
    context.frameBuffers.push(&gBuffer.frameBuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    context.scene.drawScene(ScenePassKind::DeferredWrite, camera);
    context.frameBuffers.pop();
}

void beginSceneTarget(const PassContext& context, HdrSet& hdr)
{
    context.frameBuffers.push(&hdr.scene);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void endSceneTarget(const PassContext& context)
{
    context.frameBuffers.pop();
}

void markCoveredPixels(const PassContext& context, RenderCamera& camera)
{
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    context.scene.drawScene(ScenePassKind::ZFill, camera);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void limitToCoveredPixels()
{
    glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

void limitToProbeLitPixels()
{
    glStencilFunc(GL_EQUAL, 2, 0xFFFFFFFFu);
}

void limitToEveryCoveredPixel()
{
    glStencilFunc(GL_LEQUAL, 1, 0xFFFFFFFFu);
}

void endStencilTest()
{
    glDisable(GL_STENCIL_TEST);
}

void drawSkyDome(const PassContext& context, RenderCamera& camera)
{
    pushMatrices();
    glDepthMask(GL_FALSE);
    Matrix4 rotationOnly = camera.viewMatrix;
    rotationOnly[12] = rotationOnly[13] = rotationOnly[14] = 0.0f;
    glLoadMatrixf(rotationOnly.m);
    context.scene.drawScene(ScenePassKind::Sky, camera);
    glDepthMask(GL_TRUE);
    popMatrices();
}

void drawTransparentSurfaces(const PassContext& context, RenderCamera& camera)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    context.scene.drawScene(ScenePassKind::Transparency, camera);
    glDisable(GL_BLEND);
}

}  // namespace Orvanta
