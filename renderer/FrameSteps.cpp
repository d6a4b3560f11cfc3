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

}  // namespace Orvanta
