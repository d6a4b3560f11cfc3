#include "renderer/RaytracedFrame.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "raytracing/RayTracer.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/RayTracingSet.h"
#include "scene/RenderCamera.h"

namespace Orvanta {

bool castsRays(const RayTracingSet& set, const RenderCamera& camera, bool raytracingOn)
{
    return raytracingOn && camera.raytracedCount != 0 && set.tracer;
}

void drawRayCastingPrePass(const PassContext& context, RayTracingSet& set, RenderCamera& camera)
{
    const float* rect = camera.raytracedRect;
    set.tracer->setRegion(rect[0], rect[1], rect[2], rect[3]);
    context.frameBuffers.push(&set.rayInput);
    // Zero everywhere: a direction's w of 0 marks a pixel without a ray.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    context.scene.drawScene(ScenePassKind::ZFill, camera);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    context.scene.drawScene(ScenePassKind::Raycasting, camera);
}

void readBackRayInput(const PassContext& context, RayTracingSet& set, bool refraction)
{
    readBackRays(set, refraction);
    context.frameBuffers.pop();
}

void compositeRaytracedSurfaces(const PassContext& context, const RayTracingSet& set, RenderCamera& camera,
                                bool refractionsLit)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    context.scene.drawScene(ScenePassKind::RaytracedZFill, camera);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    ProgramInputs inputs;
    inputs.with(RAYTRACING_REFLECTIONS_TEXTURE, set.reflectionTargets.lastFinished())
        .with(RAYTRACING_REFRACTIONS_TEXTURE, set.refractionTargets.lastFinished())
        .with(RAYTRACING_REFRACTIONS_ON, refractionsLit ? 1.0f : 0.0f);
    context.scene.drawScene(ScenePassKind::Raytraced, camera, inputs);
    glDisable(GL_BLEND);
}

}  // namespace Orvanta
