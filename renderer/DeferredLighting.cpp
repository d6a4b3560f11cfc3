#include "platform/gl/GlExtensions.h"
#include "renderer/PointLightScissor.h"
#include "renderer/RaytracedLighting.h"
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

void Renderer::drawDirectLights()
{
    // Ambient and projected lights have no lighting program.
    for (Light* light : lightList) {
        if (light->type == LightTypePoint) {
            drawLightQuad(*light, mainGBuffer.pointLightProgram, nullptr);
        } else if (light->type == LightTypeSun) {
            drawLightMask(*light);
            drawLightQuad(*light, mainGBuffer.sunLightProgram, nullptr);
        }
    }
}

void Renderer::drawRaytracedLights(RaytracedGBuffer& traced)
{
    for (Light* light : lightList) {
        if (light->type == LightTypePoint)
            drawLightQuad(*light, mainGBuffer.pointLightProgram, &traced);
        else if (light->type == LightTypeSun)
            drawLightQuad(*light, mainGBuffer.raytracedSunLightProgram, &traced);
    }
}

void Renderer::drawLightQuad(Light& light, const ShaderProgram* program, GBufferInterface* gBuffer)
{
    // A program that failed to build has been reported; the light adds nothing then.
    if (!program)
        return;
    ProgramInputs inputs;
    inputs.gBuffer = gBuffer;
    inputs.light = &light;
    applyProgramUniforms(passContext(), *program, inputs);
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // A point light lights only the pixels its sphere of influence covers on screen.
    bool scissored = light.type == LightTypePoint;
    if (scissored) {
        ScissorRect rect = projectedScissor(pointLightBoundingPoints(light), mainCamera.viewProjectionMatrix, width(),
                                            height());
        scissors.push(rect.x, rect.y, rect.width, rect.height);
    }
    drawFullScreenQuad(
        lightQuad(static_cast<float>(frameBuffers.currentWidth()), static_cast<float>(frameBuffers.currentHeight())));
    if (scissored)
        scissors.pop();
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
    pushFrameBuffer(&lightMask.target);
    beginFullScreenPass();
    textureUnits.unbindAll();
    applyPassUniforms(nullptr, nullptr, *program, &light);
    drawFullScreenQuad(lightQuad(static_cast<float>(width()), static_cast<float>(height())));
    endFullScreenPass();
    popFrameBuffer();
}

void Renderer::lightTracedSurfaces(RaytracedGBuffer& traced, PingPongTargets& targets)
{
    const PassContext context = passContext();
    beginRaytracedLighting(context, rayTracing, mainCamera, targets);
    if (featureOn(SkyLighting))
        drawSkyLighting(context, skyLighting, {&traced, &frustumVectors});
    if (featureOn(LightPropagationVolumes))
        drawLightPropagationVolumes(context, propagationVolumes, {&traced, &frustumVectors});
    if (featureOn(DirectLighting))
        drawRaytracedLights(traced);
    finishRaytracedLighting(context, rayTracing, traced, targets);
}

}  // namespace Orvanta
