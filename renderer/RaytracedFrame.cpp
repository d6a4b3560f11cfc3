#include "renderer/RaytracedFrame.h"

#include "platform/gl/GlExtensions.h"
#include "raytracing/RayTracer.h"
#include "renderer/RaytracedLighting.h"
#include "renderer/RayTracingSet.h"
#include "renderer/Renderer.h"

namespace Orvanta {

void drawRayCastingPrePass(Renderer& renderer, RayTracingSet& set)
{
    if (!renderer.featureOn(Raytracing) || renderer.camera().raytracedCount == 0 || !set.tracer)
        return;
    {
        PassScope pass(renderer, "ray casting pre-pass");
        const float* rect = renderer.camera().raytracedRect;
        set.tracer->setRegion(rect[0], rect[1], rect[2], rect[3]);
        renderer.pushFrameBuffer(&set.rayInput);
        // Zero everywhere: a direction's w of 0 marks a pixel without a ray.
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        renderer.drawScene(ScenePassKind::ZFill, renderer.camera());
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        renderer.drawScene(ScenePassKind::Raycasting, renderer.camera());
    }
    {
        PassScope pass(renderer, "ray read-back");
        readBackRays(set, renderer.renderSettingOn(Refraction));
        renderer.popFrameBuffer();
    }
}

void drawRayTracedSurfaces(Renderer& renderer, RayTracingSet& set)
{
    if (!set.raysPending)
        return;
    {
        PassScope pass(renderer, "ray tracing on the CPU", true);
        traceRays(set);
    }
    const bool refracting = set.refracting;
    {
        PassScope pass(renderer, "ray-traced upload");
        uploadTracedRays(set);
    }
    if (renderer.featureOn(DirectLighting)) {
        PassScope pass(renderer, "overlapped shadow maps");
        renderer.renderOverlappedShadowMaps();
    }
    {
        PassScope pass(renderer, "ray-traced lighting");
        drawRaytracedLighting(renderer, set, set.reflections, set.reflectionTargets);
        renderer.setCurrentGBuffer(&renderer.gBuffer());
    }
    // Without a refraction ray (no glass or water in view, or all of it reflecting totally) the
    // composite has nothing to read from the refraction targets and their lighting is skipped.
    set.refractionsLit = refracting;
    if (refracting && set.lastFrame.refractionRays > 0) {
        PassScope pass(renderer, "ray-traced refraction lighting");
        drawRaytracedLighting(renderer, set, set.refractions, set.refractionTargets);
        renderer.setCurrentGBuffer(&renderer.gBuffer());
    }
    {
        PassScope pass(renderer, "ray-traced composite");
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        renderer.drawScene(ScenePassKind::RaytracedZFill, renderer.camera());
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        renderer.drawScene(ScenePassKind::Raytraced, renderer.camera());
        glDisable(GL_BLEND);
    }
    set.refractionsLit = false;
}

}  // namespace Orvanta
