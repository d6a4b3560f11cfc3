#include "renderer/LightPropagationVolumeSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

#include <string>

namespace Orvanta {

const char* const ReflectiveShadowMapVertexShaderPath =
    "resources/shaders/engine/lightPropagationVolume/reflectiveShadowMapSunLightVertex.shader";
const char* const ReflectiveShadowMapFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/reflectiveShadowMapSunLightFragment.shader";
const char* const SunInjectionVertexShaderPath =
    "resources/shaders/engine/lightPropagationVolume/sunLightingVPLGenerationAndInjectionVertex.shader";
const char* const SkyInjectionVertexShaderPath =
    "resources/shaders/engine/lightPropagationVolume/skyLightingVPLGenerationAndInjectionVertex.shader";
const char* const InjectionFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/injectionFragment.shader";
const char* const PropagationFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/propagationFragment.shader";
const char* const OccludedPropagationFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/occludedPropagationFragment.shader";
const char* const StoppedLightFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/stoppedLightFragment.shader";
const char* const AccumulationFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/accumulationFragment.shader";
const char* const VolumeRenderFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/renderFragment.shader";
const char* const GlossyReflectionsFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/renderGlossyReflectionsFragment.shader";

namespace {

// Cell sizes of the three nested volumes: fine near the camera, coarse for the surroundings.
constexpr float volumeCellSizes[LightPropagationVolumeCount] = {0.5f, 1.0f, 3.5f};

void createReflectiveShadowMap(LightPropagationVolume& volume, const std::string& name)
{
    int w = static_cast<int>(volume.reflectiveShadowMapWidth);
    int h = static_cast<int>(volume.reflectiveShadowMapHeight);
    FrameBuffer& map = volume.reflectiveShadowMap;
    map.create(w, h);
    map.addColorAttachment(0, PixelFormatRgb16F, 0, false);
    map.addColorAttachment(1, PixelFormatRgb16F, 0, false);
    volume.reflectiveShadowMapDepth = std::make_unique<DepthTexture>(w, h);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, volume.reflectiveShadowMapDepth->name,
                           0);
    map.setDrawBuffers();
    map.checkComplete(name + " reflective shadow map");
}

// A layered volume target: four linearly filtered GL_RGB16F attachments, no depth, cleared to
// zero so that a volume read before its first update holds no light.
void createVolumeTarget(FrameBuffer& target, const LightPropagationVolume& volume, const std::string& name)
{
    target.create(static_cast<int>(volume.width * volume.height), static_cast<int>(volume.length));
    for (int i = 0; i < LightPropagationVolumeAttachments; ++i)
        target.addColorAttachment(i, PixelFormatRgb16F, 1, false);
    target.setDrawBuffers();
    target.checkComplete(name);
    glViewport(0, 0, target.width, target.height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void createVolume(LightPropagationVolume& volume, int index)
{
    volume.width = volume.height = volume.length = 32;
    volume.cellSize = volumeCellSizes[index];
    // A pixel inside a finer volume's box takes that volume's light alone, so its light must reach
    // the middle of the box from anywhere in it: 16 steps, half the volume's width. The coarsest
    // volume lights the far scene and reaches 28 units in 8 steps; more change nothing there.
    volume.propagationSteps = index < LightPropagationVolumeCount - 1 ? 16 : 8;
    volume.reflectiveShadowMapWidth = volume.reflectiveShadowMapHeight = 128;
    volume.lightsWeight = 0.0625f;
    volume.glossyReflections = index == 0 ? 1 : 0;
    volume.skyInjection = index == LightPropagationVolumeCount - 1 ? 1 : 0;
    volume.keepsStoppedLight = index < LightPropagationVolumeCount - 1 ? 1 : 0;

    std::string name = "light propagation volume " + std::to_string(index);
    createReflectiveShadowMap(volume, name);
    createVolumeTarget(volume.propagationA, volume, name + " propagation A");
    createVolumeTarget(volume.propagationB, volume, name + " propagation B");
    createVolumeTarget(volume.accumulation, volume, name + " accumulation");

    int mapSize = static_cast<int>(volume.reflectiveShadowMapWidth);
    volume.sunPoints.upload(sunInjectionGrid(volume.grid(), mapSize));
    if (volume.skyInjection)
        volume.skyPoints.upload(skyInjectionGrid(mapSize));
}

}  // namespace

VolumeGrid LightPropagationVolume::grid() const
{
    VolumeGrid g;
    g.width = static_cast<int>(width);
    g.height = static_cast<int>(height);
    g.length = static_cast<int>(length);
    g.cellSize = cellSize;
    g.position = position;
    return g;
}

FrameBuffer& LightPropagationVolume::target(VolumeTarget which)
{
    switch (which) {
    case VolumeTarget::PropagationA:
        return propagationA;
    case VolumeTarget::PropagationB:
        return propagationB;
    case VolumeTarget::Accumulation:
        break;
    }
    return accumulation;
}

const FrameBuffer& LightPropagationVolume::target(VolumeTarget which) const
{
    return const_cast<LightPropagationVolume&>(*this).target(which);
}

void createLightPropagationVolumes(LightPropagationVolumeSet& set)
{
    set.reflectiveShadowMapProgram = getProgram(ReflectiveShadowMapVertexShaderPath,
                                                ReflectiveShadowMapFragmentShaderPath);
    set.sunInjectionProgram = getProgram(SunInjectionVertexShaderPath, InjectionFragmentShaderPath);
    set.skyInjectionProgram = getProgram(SkyInjectionVertexShaderPath, InjectionFragmentShaderPath);
    set.propagationProgram = getFragmentProgram(PropagationFragmentShaderPath);
    set.accumulationProgram = getFragmentProgram(AccumulationFragmentShaderPath);
    set.renderProgram = getFragmentProgram(VolumeRenderFragmentShaderPath);
    set.glossyReflectionsProgram = getFragmentProgram(GlossyReflectionsFragmentShaderPath);
    set.occludedPropagationProgram = getFragmentProgram(OccludedPropagationFragmentShaderPath);
    set.stoppedLightProgram = getFragmentProgram(StoppedLightFragmentShaderPath);
    VolumeGrid grids[LightPropagationVolumeCount];
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        createVolume(set.volumes[i], i);
        grids[i] = set.volumes[i].grid();
    }
    createGeometryVolumes(set.geometry, grids);
}

}  // namespace Orvanta
