#include "renderer/ShadowMapRendering.h"

#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/MatrixStack.h"
#include "renderer/ShadowCameras.h"
#include "scene/Light.h"

namespace Orvanta {

void computeCascadedShadowCameras(ShadowMapSet& set, const SunLight& sun, const Camera& camera)
{
    SunLightBasis basis = makeSunLightBasis(sun.direction);
    for (ShadowMapRecord& cascade : set.cascades) {
        ShadowProjection projection = cascadeShadowProjectionFor(camera, basis, cascade.nearSplitDistance,
                                                                 cascade.farSplitDistance, set.cascadedSunLightRadius);
        placeShadowCamera(cascade.camera, projection);
        cascade.uvSpaceSunLightRadius = projection.uvSpaceSunLightRadius;
    }
}

void computeOverlappedShadowCameras(ShadowMapSet& set, const SunLight& sun, const Camera& camera)
{
    SunLightBasis basis = makeSunLightBasis(sun.direction);
    for (ShadowMapRecord& map : set.overlapped) {
        ShadowProjection projection = overlappedShadowProjection(basis, camera.position, map.farSplitDistance,
                                                                 set.overlappedSunLightRadius);
        placeShadowCamera(map.camera, projection);
        map.uvSpaceSunLightRadius = projection.uvSpaceSunLightRadius;
    }
}

void renderShadowMap(const PassContext& context, ShadowMapRecord& record)
{
    if (context.frameBuffers.count() >= FrameBufferStack::capacity) {
        logError("shadow map pass: the framebuffer stack is full; the map is left as it was");
        return;
    }
    pushMatrices(record.camera.projectionMatrix, record.camera.viewMatrix);

    GLfloat previousClearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, previousClearColor);
    context.frameBuffers.push(&record.shadowMap);
    // Nothing drawn: no occluder (depth 0 decodes as infinitely far) and every bit of light passes.
    glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    context.scene.drawScene(ScenePassKind::ShadowZFill, record.camera);
    // Then the panes, behind the opaque occluders' depth test without writing it: each multiplies
    // the texel's share of light passed by its own.
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    context.scene.drawScene(ScenePassKind::ShadowTransmittance, record.camera);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    context.frameBuffers.pop();
    glClearColor(previousClearColor[0], previousClearColor[1], previousClearColor[2], previousClearColor[3]);

    popMatrices();
    checkGlErrors("renderShadowMap");
}

void updateCascadedShadowMaps(const PassContext& context, ShadowMapSet& set, const SunLight& sun, const Camera& camera)
{
    computeCascadedShadowCameras(set, sun, camera);
    for (ShadowMapRecord& cascade : set.cascades)
        renderShadowMap(context, cascade);
}

void updateOverlappedShadowMaps(const PassContext& context, ShadowMapSet& set, const SunLight& sun,
                                const Camera& camera)
{
    computeOverlappedShadowCameras(set, sun, camera);
    for (ShadowMapRecord& map : set.overlapped)
        renderShadowMap(context, map);
}

}  // namespace Orvanta
