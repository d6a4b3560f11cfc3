#include "renderer/RaytracedLighting.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "raytracing/RayTracer.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/LightPropagationVolumePasses.h"
#include "renderer/RaytracedGBuffer.h"
#include "renderer/RayTracingSet.h"
#include "renderer/ScissorStack.h"
#include "renderer/SkyLightingVolume.h"

namespace Orvanta {

namespace {

// One full-screen quad of an engine program into the target on top of the stack, reading the
// traced buffer and the last finished element of its targets as the current effect.
void drawEffectQuad(const PassContext& context, const ShaderProgram* program, RaytracedGBuffer& traced,
                    const PingPongTargets& targets)
{
    if (!program)
        return;
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    ProgramInputs inputs;
    inputs.gBuffer = &traced;
    inputs.with(RAYTRACING_CURRENT_EFFECT_TEXTURE, targets.lastFinished());
    applyProgramUniforms(context, *program, inputs);
    drawFullScreenQuad({});
    endFullScreenPass();
    glDepthMask(GL_TRUE);
}

}  // namespace

void lightTracedSurfaces(const PassContext& context, const RayTracingSet& set, const TracedLightingInputs& in)
{
    if (!in.traced || !in.targets || !in.view)
        return;
    beginRaytracedLighting(context, set, *in.view, *in.targets);
    if (in.skyLighting)
        drawSkyLighting(context, *in.skyLighting, {in.traced, in.rays});
    if (in.volumes)
        drawLightPropagationVolumes(context, *in.volumes, {in.traced, in.rays});
    if (in.directLighting)
        drawDirectLights(context, *in.directLighting, in.lights);
    finishRaytracedLighting(context, set, *in.traced, *in.targets);
}

void beginRaytracedLighting(const PassContext& context, const RayTracingSet& set, SceneView& view,
                            PingPongTargets& targets)
{
    const PixelRect& region = set.tracer->region();
    context.scissors.push(static_cast<int>(region.x), static_cast<int>(region.y), static_cast<int>(region.width),
                          static_cast<int>(region.height));
    context.frameBuffers.push(&targets.current());
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    // Stencil 1 where a ray-traced surface is drawn.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    context.scene.drawScene(ScenePassKind::RaytracedZFill, view);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

void finishRaytracedLighting(const PassContext& context, const RayTracingSet& set, RaytracedGBuffer& traced,
                             PingPongTargets& targets)
{
    // Missed rays see the sky.
    drawEffectQuad(context, set.renderSkyProgram, traced, targets);
    glDisable(GL_STENCIL_TEST);
    context.frameBuffers.pop();
    targets.flip();

    // Half-resolution texels along a surface's border got no ray; they take their neighbours'.
    if (RayTracer::divisor >= 2) {
        context.frameBuffers.push(&targets.current());
        drawEffectQuad(context, set.borderCorrectionProgram, traced, targets);
        context.frameBuffers.pop();
        targets.flip();
    }
    context.scissors.pop();
}

}  // namespace Orvanta
