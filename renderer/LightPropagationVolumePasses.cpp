#include "renderer/LightPropagationVolumePasses.h"

#include "gpu/ShaderProgram.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/MatrixStack.h"
#include "renderer/ShadowCameras.h"
#include "scene/Light.h"

namespace Orvanta {

namespace {

// The programs of a volume's passes read that volume.
ProgramInputs volumeProgram(const LightPropagationVolumeSet& set, int index, const Light* light = nullptr,
                            GBufferInterface* gBuffer = nullptr, VolumeTarget source = VolumeTarget::Accumulation)
{
    ProgramInputs inputs;
    inputs.volumes = &set;
    inputs.volume = index;
    inputs.volumeSource = source;
    inputs.light = light;
    inputs.gBuffer = gBuffer;
    return inputs;
}

void drawVolumeLight(const FrustumVectors* rays)
{
    FullScreenQuad quad;
    quad.rays = rays;
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    drawFullScreenQuad(quad);
    glDisable(GL_BLEND);
    endFullScreenPass();
}

}  // namespace

void placeLightPropagationVolume(LightPropagationVolume& volume, Float3 sunDirection, Float3 cameraPosition)
{
    volume.position = snappedVolumePosition(cameraPosition, volume.cellSize);
    ReflectiveShadowMapProjection projection = reflectiveShadowMapProjection(makeSunLightBasis(sunDirection),
                                                                             volume.grid());
    placeShadowCamera(volume.reflectiveShadowMapCamera, projection.matrices);
    volume.invertedMatrix = projection.inverted;
}

void renderReflectiveShadowMap(const PassContext& context, LightPropagationVolumeSet& set, int index)
{
    LightPropagationVolume& volume = set.volumes[index];
    RenderCamera& mapCamera = volume.reflectiveShadowMapCamera;
    pushMatrices(mapCamera.projectionMatrix, mapCamera.viewMatrix);
    context.frameBuffers.push(&volume.reflectiveShadowMap);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    context.scene.drawScene(ScenePassKind::ReflectiveShadowMap, mapCamera);
    context.frameBuffers.pop();
    popMatrices();
}

void injectLights(const PassContext& context, LightPropagationVolumeSet& set, int index,
                  const VolumeUpdateInputs& inputs)
{
    LightPropagationVolume& volume = set.volumes[index];
    pushMatrices(injectionProjection(volume.grid()), injectionModelview());
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    context.frameBuffers.push(&volume.accumulation);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(1.0f);
    // The sky injection recovers surface colours from the map with the sun's colour, so both
    // programs get the sun as their light.
    if (inputs.propagateSunLighting && set.sunInjectionProgram) {
        applyProgramUniforms(context, *set.sunInjectionProgram, volumeProgram(set, index, inputs.sun));
        volume.sunPoints.draw();
    }
    if (inputs.propagateSkyLighting && volume.skyInjection && set.skyInjectionProgram) {
        applyProgramUniforms(context, *set.skyInjectionProgram, volumeProgram(set, index, inputs.sun));
        volume.skyPoints.draw();
    }
    context.frameBuffers.pop();
    glDisable(GL_BLEND);
    popMatrices();
}

void fillGeometryVolume(const PassContext& context, LightPropagationVolumeSet& set, int index,
                        const VolumeUpdateInputs& inputs)
{
    LightPropagationVolume& volume = set.volumes[index];
    GeometryVolumeSet& geometry = set.geometry;
    pushMatrices(injectionProjection(volume.grid()), injectionModelview());
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    context.frameBuffers.push(&geometry.volumes[index]);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(1.0f);
    if (geometry.mapInjectionProgram) {
        applyProgramUniforms(context, *geometry.mapInjectionProgram, volumeProgram(set, index, inputs.sun));
        volume.sunPoints.draw();
    }
    if (geometry.screenInjectionProgram) {
        applyProgramUniforms(context, *geometry.screenInjectionProgram, volumeProgram(set, index));
        geometry.screenPoints.draw();
    }
    context.frameBuffers.pop();
    glDisable(GL_BLEND);
    popMatrices();
}

void propagateOneStep(const PassContext& context, LightPropagationVolumeSet& set, int index, unsigned step,
                      const VolumeUpdateInputs& inputs)
{
    LightPropagationVolume& volume = set.volumes[index];
    const ShaderProgram* propagation = inputs.occlusion ? set.occludedPropagationProgram : set.propagationProgram;
    if (!propagation || !set.accumulationProgram)
        return;
    const VolumeTarget source = sourceVolumeTarget(step);
    const VolumeTarget written = propagationTarget(step);
    beginFullScreenPass();
    applyProgramUniforms(context, *propagation, volumeProgram(set, index, nullptr, nullptr, source));
    context.frameBuffers.push(&volume.target(written));
    drawFullScreenQuad({});
    context.frameBuffers.pop();

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    if (inputs.occlusion && volume.keepsStoppedLight && set.stoppedLightProgram) {
        // Reads the step's source, as the step did.
        applyProgramUniforms(context, *set.stoppedLightProgram, volumeProgram(set, index, nullptr, nullptr, source));
        context.frameBuffers.push(&volume.accumulation);
        drawFullScreenQuad({});
        context.frameBuffers.pop();
    }
    // Adds what the step just wrote.
    applyProgramUniforms(context, *set.accumulationProgram, volumeProgram(set, index, nullptr, nullptr, written));
    context.frameBuffers.push(&volume.accumulation);
    drawFullScreenQuad({});
    context.frameBuffers.pop();
    glDisable(GL_BLEND);
    endFullScreenPass();
}

void injectVolumeLights(const PassContext& context, LightPropagationVolumeSet& set, const VolumeUpdateInputs& inputs)
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        if (inputs.sun)
            placeLightPropagationVolume(set.volumes[i], inputs.sun->direction, inputs.cameraPosition);
        renderReflectiveShadowMap(context, set, i);
        injectLights(context, set, i, inputs);
    }
}

void fillGeometryVolumes(const PassContext& context, LightPropagationVolumeSet& set, const VolumeUpdateInputs& inputs)
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i)
        fillGeometryVolume(context, set, i, inputs);
}

void propagateVolumeLight(const PassContext& context, LightPropagationVolumeSet& set, const VolumeUpdateInputs& inputs)
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i)
        for (unsigned step = 0; step < set.volumes[i].propagationSteps; ++step)
            propagateOneStep(context, set, i, step, inputs);
}

void drawVolumeDiffuse(const PassContext& context, LightPropagationVolumeSet& set, int index,
                       const VolumeLightInputs& inputs)
{
    if (!set.renderProgram)
        return;
    applyProgramUniforms(context, *set.renderProgram, volumeProgram(set, index, nullptr, inputs.gBuffer));
    drawVolumeLight(inputs.rays);
}

void drawVolumeGlossy(const PassContext& context, LightPropagationVolumeSet& set, int index,
                      const VolumeLightInputs& inputs)
{
    if (!set.glossyReflectionsProgram)
        return;
    applyProgramUniforms(context, *set.glossyReflectionsProgram, volumeProgram(set, index, nullptr, inputs.gBuffer));
    drawVolumeLight(inputs.rays);
}

void drawLightPropagationVolumes(const PassContext& context, LightPropagationVolumeSet& set,
                                 const VolumeLightInputs& inputs)
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        drawVolumeDiffuse(context, set, i, inputs);
        if (set.volumes[i].glossyReflections)
            drawVolumeGlossy(context, set, i, inputs);
    }
}

void drawLightPropagationGlossy(const PassContext& context, LightPropagationVolumeSet& set,
                                const VolumeLightInputs& inputs)
{
    for (int i = 0; i < LightPropagationVolumeCount; ++i)
        if (set.volumes[i].glossyReflections)
            drawVolumeGlossy(context, set, i, inputs);
}

}  // namespace Orvanta
