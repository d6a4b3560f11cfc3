#include "renderer/DirectLightingPass.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/PointLightScissor.h"
#include "renderer/ScissorStack.h"
#include "renderer/TextureUnitTable.h"
#include "scene/Light.h"
#include "scene/RenderCamera.h"

namespace Orvanta {

namespace {

FullScreenQuad lightQuad(const DirectLightInputs& in, float noiseWidth, float noiseHeight)
{
    FullScreenQuad quad;
    quad.rays = in.rays;
    quad.withNoise = true;
    // The noise texture repeats every 32 pixels of the target.
    quad.noiseWidth = noiseWidth / 32.0f;
    quad.noiseHeight = noiseHeight / 32.0f;
    return quad;
}

void drawLightQuad(const PassContext& context, const DirectLightInputs& in, const Light& light,
                   const ShaderProgram* program)
{
    // A program that failed to build has been reported; the light adds nothing then.
    if (!program)
        return;
    ProgramInputs inputs;
    inputs.gBuffer = in.traced;
    inputs.light = &light;
    if (in.mask)
        inputs.with(LIGHT_MASK_TEXTURE, in.mask->texture());
    applyProgramUniforms(context, *program, inputs);
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // A point light lights only the pixels its sphere of influence covers on screen.
    bool scissored = light.type == LightTypePoint;
    if (scissored) {
        ScissorRect rect = projectedScissor(pointLightBoundingPoints(light), in.camera->viewProjectionMatrix,
                                            in.clientWidth, in.clientHeight);
        context.scissors.push(rect.x, rect.y, rect.width, rect.height);
    }
    drawFullScreenQuad(lightQuad(in, static_cast<float>(context.frameBuffers.currentWidth()),
                                 static_cast<float>(context.frameBuffers.currentHeight())));
    if (scissored)
        context.scissors.pop();
    glDisable(GL_BLEND);
    endFullScreenPass();
    glDepthMask(GL_TRUE);
}

void drawLightMask(const PassContext& context, const GBuffer& set, const DirectLightInputs& in, const Light& light)
{
    const ShaderProgram* program = nullptr;
    if (light.type == LightTypePoint)
        program = set.pointLightMaskProgram;
    else if (light.type == LightTypeSun)
        program = set.sunLightMaskProgram;
    if (!program)
        return;
    // The mask target has no stencil buffer, so the stencil test of the lighting passes lets
    // every pixel of it through.
    context.frameBuffers.push(&in.mask->target);
    beginFullScreenPass();
    context.textureUnits.unbindAll();
    ProgramInputs inputs;
    inputs.light = &light;
    applyProgramUniforms(context, *program, inputs);
    drawFullScreenQuad(lightQuad(in, static_cast<float>(in.clientWidth), static_cast<float>(in.clientHeight)));
    endFullScreenPass();
    context.frameBuffers.pop();
}

}  // namespace

void drawDirectLights(const PassContext& context, GBuffer& set, const DirectLightInputs& in)
{
    if (!in.lights || !in.camera || (!in.traced && !in.mask))
        return;
    for (const Light* light : *in.lights) {
        if (light->type == LightTypePoint) {
            drawLightQuad(context, in, *light, set.pointLightProgram);
        } else if (light->type == LightTypeSun && in.traced) {
            drawLightQuad(context, in, *light, set.raytracedSunLightProgram);
        } else if (light->type == LightTypeSun) {
            drawLightMask(context, set, in, *light);
            drawLightQuad(context, in, *light, set.sunLightProgram);
        }
    }
}

}  // namespace Orvanta
