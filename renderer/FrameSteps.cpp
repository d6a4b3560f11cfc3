#include "platform/gl/GlExtensions.h"
#include "renderer/MatrixStack.h"
#include "renderer/Renderer.h"

namespace Orvanta {

// The steps renderFrame runs in order; each leaves the conventional GL state behind.

void Renderer::loadViewMatrices()
{
    glMatrixMode(GL_PROJECTION);
    const Matrix4 projection = frameProjection();
    glLoadMatrixf(projection.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(mainCamera.viewMatrix.m);
}

void Renderer::setUpFrame()
{
    loadViewMatrices();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    frustumVectors = unitDepthFrustumVectors(mainCamera);
    if (temporalAntiAliasingOn())
        frustumVectors = jitteredFrustumVectors(frustumVectors, temporal.frameJitter(), targetWidth, targetHeight);
}

void Renderer::fillGBuffer()
{
    pushFrameBuffer(&mainGBuffer.frameBuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene(ScenePassKind::DeferredWrite, mainCamera);
    popFrameBuffer();
}

void Renderer::markCoveredPixels()
{
    // Every pixel opaque geometry covers gets stencil 1 and the scene's depth. The stencil test
    // stays on for the lighting passes that follow.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    drawScene(ScenePassKind::ZFill, mainCamera);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void Renderer::drawSkyDome()
{
    pushMatrices();
    glDepthMask(GL_FALSE);
    // The view's rotation without its translation keeps the dome centred on the viewer.
    Matrix4 rotationOnly = mainCamera.viewMatrix;
    rotationOnly[12] = rotationOnly[13] = rotationOnly[14] = 0.0f;
    glLoadMatrixf(rotationOnly.m);
    drawScene(ScenePassKind::Sky, mainCamera);
    glDepthMask(GL_TRUE);
    popMatrices();
}

void Renderer::drawTransparentSurfaces()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawScene(ScenePassKind::Transparency, mainCamera);
    glDisable(GL_BLEND);
}

}  // namespace Orvanta
