#include "renderer/RaytracedLighting.h"

#include "platform/gl/GlExtensions.h"
#include "raytracing/RayTracer.h"
#include "renderer/RayTracingSet.h"
#include "renderer/Renderer.h"

namespace Orvanta {

namespace {

// One full-screen quad of an engine program into the target on top of the stack.
void drawEffectQuad(Renderer& renderer, const ShaderProgram* program)
{
    if (!program)
        return;
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    renderer.applyPassUniforms(nullptr, nullptr, *program, nullptr);
    drawFullScreenQuad({});
    endFullScreenPass();
    glDepthMask(GL_TRUE);
}

// Stencil 1 where a ray-traced surface is drawn; from then on only those pixels are touched.
void markRaytracedSurfaces(Renderer& renderer)
{
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    renderer.drawScene(ScenePassKind::RaytracedZFill, renderer.camera());
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilFunc(GL_EQUAL, 1, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

}  // namespace

void drawRaytracedLighting(Renderer& renderer, RayTracingSet& set, RaytracedGBuffer& traced,
                           PingPongTargets& targets)
{
    const PixelRect& region = set.tracer->region();
    renderer.pushScissor(static_cast<int>(region.x), static_cast<int>(region.y), static_cast<int>(region.width),
                         static_cast<int>(region.height));
    renderer.setCurrentGBuffer(&traced);
    set.currentTargets = &targets;

    renderer.pushFrameBuffer(&targets.current());
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    markRaytracedSurfaces(renderer);
    // Missed rays and pixels without a ray have a zero normal, which the sky lighting and the
    // volumes skip.
    if (renderer.featureOn(SkyLighting))
        renderer.drawSkyLighting();
    if (renderer.featureOn(LightPropagationVolumes))
        renderer.drawLightPropagationVolumes();
    if (renderer.featureOn(DirectLighting))
        for (Light* light : renderer.lights())
            renderer.drawRaytracedLight(*light);
    // Missed rays see the sky.
    drawEffectQuad(renderer, set.renderSkyProgram);
    glDisable(GL_STENCIL_TEST);
    renderer.popFrameBuffer();
    targets.flip();

    // Half-resolution texels along a surface's border got no ray; they take their neighbours'.
    if (RayTracer::divisor >= 2) {
        renderer.pushFrameBuffer(&targets.current());
        drawEffectQuad(renderer, set.borderCorrectionProgram);
        renderer.popFrameBuffer();
        targets.flip();
    }
    renderer.popScissor();
}

}  // namespace Orvanta
