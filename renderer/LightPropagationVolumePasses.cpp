#include "renderer/LightPropagationVolumePasses.h"

#include "platform/gl/GlExtensions.h"
#include "renderer/MatrixStack.h"
#include "gpu/ShaderProgram.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/Renderer.h"
#include "renderer/ShadowCameras.h"
#include "scene/Light.h"

namespace Orvanta {

namespace {

LightPropagationVolume& makeCurrent(LightPropagationVolumeSet& set, int index)
{
    set.current = index;
    return set.volumes[index];
}

// The render program's box of the next finer volume, which it leaves the pixels it covers to.
void setInnerVolume(const LightPropagationVolumeSet& set, int index, const ShaderProgram& program)
{
    VolumeGrid inner;
    float innerCellSize = 0.0f;
    if (index > 0) {
        inner = set.volumes[index - 1].grid();
        innerCellSize = inner.cellSize;
    }
    Float3 lo = inner.minimumCorner();
    Float3 hi = lo + inner.extent();
    glUniform3fARB(glGetUniformLocationARB(program.program, "innerVolumeMinimum"), lo.x, lo.y, lo.z);
    glUniform3fARB(glGetUniformLocationARB(program.program, "innerVolumeMaximum"), hi.x, hi.y, hi.z);
    glUniform1fARB(glGetUniformLocationARB(program.program, "innerVolumeCellSize"), innerCellSize);
}

void drawVolumeLight(Renderer& renderer)
{
    // View rays on unit 1 as every lighting quad carries them.
    FrustumVectors rays = unitDepthFrustumVectors(renderer.camera());
    FullScreenQuad quad;
    quad.rays = &rays;
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
    ReflectiveShadowMapProjection projection =
        reflectiveShadowMapProjection(makeSunLightBasis(sunDirection), volume.grid());
    placeShadowCamera(volume.reflectiveShadowMapCamera, projection.matrices);
    volume.invertedMatrix = projection.inverted;
}

void renderReflectiveShadowMap(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    LightPropagationVolume& volume = makeCurrent(set, index);
    RenderCamera& mapCamera = volume.reflectiveShadowMapCamera;
    pushMatrices(mapCamera.projectionMatrix, mapCamera.viewMatrix);
    renderer.pushFrameBuffer(&volume.reflectiveShadowMap);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.drawScene(ScenePassKind::ReflectiveShadowMap, mapCamera);
    renderer.popFrameBuffer();
    popMatrices();
}

void injectLights(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    LightPropagationVolume& volume = makeCurrent(set, index);
    volume.stepCounter = 0;
    pushMatrices(injectionProjection(volume.grid()), injectionModelview());
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    renderer.pushFrameBuffer(&volume.accumulation);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(1.0f);
    // The sky injection recovers surface colours from the map with the sun's colour, so both
    // programs get the sun as their light.
    if (renderer.featureOn(PropagateSunLighting) && set.sunInjectionProgram) {
        renderer.applyPassUniforms(nullptr, nullptr, *set.sunInjectionProgram, renderer.sun());
        volume.sunPoints.draw();
    }
    if (renderer.featureOn(PropagateSkyLighting) && volume.skyInjection && set.skyInjectionProgram) {
        renderer.applyPassUniforms(nullptr, nullptr, *set.skyInjectionProgram, renderer.sun());
        volume.skyPoints.draw();
    }
    renderer.popFrameBuffer();
    glDisable(GL_BLEND);
    popMatrices();
}

void fillGeometryVolume(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    LightPropagationVolume& volume = makeCurrent(set, index);
    GeometryVolumeSet& geometry = set.geometry;
    pushMatrices(injectionProjection(volume.grid()), injectionModelview());
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    renderer.pushFrameBuffer(&geometry.volumes[index]);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(1.0f);
    if (geometry.mapInjectionProgram) {
        renderer.applyPassUniforms(nullptr, nullptr, *geometry.mapInjectionProgram, renderer.sun());
        volume.sunPoints.draw();
    }
    if (geometry.screenInjectionProgram) {
        renderer.applyPassUniforms(nullptr, nullptr, *geometry.screenInjectionProgram, nullptr);
        geometry.screenPoints.draw();
    }
    renderer.popFrameBuffer();
    glDisable(GL_BLEND);
    popMatrices();
}

void propagateOneStep(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    LightPropagationVolume& volume = makeCurrent(set, index);
    const ShaderProgram* propagation =
        renderer.renderSettingOn(LpvOcclusion) ? set.occludedPropagationProgram : set.propagationProgram;
    if (!propagation || !set.accumulationProgram)
        return;
    beginFullScreenPass();
    renderer.applyPassUniforms(nullptr, nullptr, *propagation, nullptr);
    renderer.pushFrameBuffer(&volume.target(propagationTarget(volume.stepCounter)));
    drawFullScreenQuad({});
    renderer.popFrameBuffer();
    ++volume.stepCounter;

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    renderer.applyPassUniforms(nullptr, nullptr, *set.accumulationProgram, nullptr);
    renderer.pushFrameBuffer(&volume.accumulation);
    drawFullScreenQuad({});
    renderer.popFrameBuffer();
    glDisable(GL_BLEND);
    endFullScreenPass();
}

void updateLightPropagationVolume(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    LightPropagationVolume& volume = set.volumes[index];
    if (renderer.sun())
        placeLightPropagationVolume(volume, renderer.sun()->direction, renderer.camera().position);
    renderReflectiveShadowMap(renderer, set, index);
    injectLights(renderer, set, index);
    if (renderer.renderSettingOn(LpvOcclusion))
        fillGeometryVolume(renderer, set, index);
    for (unsigned step = 0; step < volume.propagationSteps; ++step)
        propagateOneStep(renderer, set, index);
}

void drawVolumeDiffuse(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    makeCurrent(set, index);
    if (!set.renderProgram)
        return;
    renderer.applyPassUniforms(nullptr, nullptr, *set.renderProgram, nullptr);
    setInnerVolume(set, index, *set.renderProgram);
    drawVolumeLight(renderer);
}

void drawVolumeGlossy(Renderer& renderer, LightPropagationVolumeSet& set, int index)
{
    makeCurrent(set, index);
    if (!set.glossyReflectionsProgram)
        return;
    renderer.applyPassUniforms(nullptr, nullptr, *set.glossyReflectionsProgram, nullptr);
    drawVolumeLight(renderer);
}

}  // namespace Orvanta
