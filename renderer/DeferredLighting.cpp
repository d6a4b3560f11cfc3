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

void Renderer::renderCascadedShadowMaps()
{
    if (sunLight)
        updateCascadedShadowMaps(shadows, *sunLight, mainCamera, shadowPassHooks());
}

void Renderer::renderOverlappedShadowMaps()
{
    if (sunLight)
        updateOverlappedShadowMaps(shadows, *sunLight, mainCamera, shadowPassHooks());
}

void Renderer::drawDirectLight(Light& light)
{
    if (light.type == LightTypePoint) {
        drawLightQuad(light, mainGBuffer.pointLightProgram);
    } else if (light.type == LightTypeSun) {
        drawLightMask(light);
        drawLightQuad(light, mainGBuffer.sunLightProgram);
    }
    // Ambient and projected lights have no lighting program.
}

void Renderer::drawRaytracedLight(Light& light)
{
    if (light.type == LightTypePoint)
        drawLightQuad(light, mainGBuffer.pointLightProgram);
    else if (light.type == LightTypeSun)
        drawLightQuad(light, mainGBuffer.raytracedSunLightProgram);
}

void Renderer::drawLightQuad(Light& light, const ShaderProgram* program)
{
    // A program that failed to build has been reported; the light adds nothing then.
    if (!program)
        return;
    applyPassUniforms(nullptr, nullptr, *program, &light);
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // A point light lights only the pixels its sphere of influence covers on screen.
    bool scissored = light.type == LightTypePoint;
    if (scissored) {
        ScissorRect rect = projectedScissor(pointLightBoundingPoints(light), mainCamera.viewProjectionMatrix, width(),
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
        program = mainGBuffer.pointLightMaskProgram;
    else if (light.type == LightTypeSun)
        program = mainGBuffer.sunLightMaskProgram;
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
