#include "platform/gl/GlExtensions.h"
#include "renderer/PointLightScissor.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

namespace Orvanta {

FullScreenQuad Renderer::lightQuad(float noiseWidth, float noiseHeight) const
{
    FullScreenQuad quad;
    quad.rays = &frustumVectors;
    quad.withNoise = true;
    // The noise texture repeats every 32 pixels of the target.
    quad.noiseWidth = noiseWidth / 32.0f;
    quad.noiseHeight = noiseHeight / 32.0f;
    return quad;
}

ShadowPassHooks Renderer::shadowPassHooks()
{
    ShadowPassHooks hooks;
    hooks.pushFrameBuffer = [this](FrameBuffer& frameBuffer) { pushFrameBuffer(&frameBuffer); };
    hooks.popFrameBuffer = [this] { popFrameBuffer(); };
    hooks.drawShadowCasters = [this](SceneView& view) { drawScene(ScenePassKind::ShadowZFill, view); };
    return hooks;
}

void Renderer::drawLight(Light& light, bool raytraced)
{
    const ShaderProgram* program = nullptr;
    if (light.type == LightTypePoint) {
        program = gBuffer.pointLightProgram;
    } else if (light.type == LightTypeSun && !raytraced) {
        updateCascadedShadowMaps(shadows, static_cast<const SunLight&>(light), camera, shadowPassHooks());
        drawLightMask(light);
        program = gBuffer.sunLightProgram;
    } else if (light.type == LightTypeSun) {
        // The overlapped maps are drawn whole, whatever the traced rectangle's scissor.
        bool scissorOn = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        updateOverlappedShadowMaps(shadows, static_cast<const SunLight&>(light), camera, shadowPassHooks());
        if (scissorOn)
            glEnable(GL_SCISSOR_TEST);
        program = gBuffer.raytracedSunLightProgram;
    }
    // Ambient and projected lights have no lighting program.
    if (!program)
        return;

    applyPassUniforms(nullptr, nullptr, *program, &light);
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    bool scissored = light.type == LightTypePoint;
    if (scissored) {
        ScissorRect rect = projectedScissor(pointLightBoundingPoints(light), camera.viewProjectionMatrix, width(),
                                            height());
        pushScissor(rect.x, rect.y, rect.width, rect.height);
    }
    drawFullScreenQuad(lightQuad(static_cast<float>(frameBuffers.currentWidth()),
                                 static_cast<float>(frameBuffers.currentHeight())));
    if (scissored)
        popScissor();
    glDisable(GL_BLEND);
    endFullScreenPass();
    glDepthMask(GL_TRUE);
}

void Renderer::drawLightMask(Light& light)
{
    const ShaderProgram* program = nullptr;
    if (light.type == LightTypePoint)
        program = gBuffer.pointLightMaskProgram;
    else if (light.type == LightTypeSun)
        program = gBuffer.sunLightMaskProgram;
    if (!program)
        return;
    // The mask target has no stencil buffer, so the stencil test of the lighting passes lets
    // every pixel of it through.
    pushFrameBuffer(&lightMask);
    beginFullScreenPass();
    unbindAllTextureUnits();
    applyPassUniforms(nullptr, nullptr, *program, &light);
    drawFullScreenQuad(lightQuad(static_cast<float>(width()), static_cast<float>(height())));
    endFullScreenPass();
    popFrameBuffer();
}

}  // namespace Orvanta
