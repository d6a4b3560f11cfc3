#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/GeometryVolumeSet.h"
#include "renderer/InjectionPointBuffer.h"
#include "renderer/LightPropagationVolumeLayout.h"
#include "scene/RenderCamera.h"

#include <cstdint>
#include <memory>

namespace Orvanta {

class DepthTexture;
struct ShaderProgram;

// Four spherical-harmonics coefficients per cell, one per target attachment, RGB each.
constexpr int LightPropagationVolumeAttachments = 4;

// One volume of cells that follows the camera: the reflective shadow map that captures the
// sunlit surfaces around it, the two targets the propagation steps ping-pong between and the
// accumulation target that sums the injected light and every step.
struct LightPropagationVolume {
    uint32_t width = 32;
    uint32_t height = 32;
    uint32_t length = 32;
    float cellSize = 1.0f;
    uint32_t propagationSteps = 8;
    uint32_t reflectiveShadowMapWidth = 128;
    uint32_t reflectiveShadowMapHeight = 128;
    // Each injected light's share: the area of one reflective-shadow-map texel over the area of
    // one cell face ((s W / 128)^2 / s^2 = 1/16), which turns a texel's reflected light into the
    // light crossing its cell.
    float lightsWeight = 0.0625f;
    uint8_t glossyReflections = 0;
    uint8_t skyInjection = 0;
    // With occlusion, whether the light its surfaces stop is added to the accumulation (see
    // stoppedLightFragment.shader). Not in the coarsest volume: a stopped lobe lights everything
    // in its cell, and 3.5-unit cells put it on the corners and eaves around the surface too.
    uint8_t keepsStoppedLight = 0;
    Float3 position;
    // Its scene view is culled by the visibility update like every other view.
    RenderCamera reflectiveShadowMapCamera;
    // Attachment 0: reflected sunlight, 1: surface normal (both GL_RGB16F, nearest); textures 0
    // and 1 of the framebuffer. The depth texture is the third texture.
    FrameBuffer reflectiveShadowMap;
    std::unique_ptr<DepthTexture> reflectiveShadowMapDepth;
    Matrix4 invertedMatrix;
    FrameBuffer propagationA;
    FrameBuffer propagationB;
    FrameBuffer accumulation;

    InjectionPointBuffer sunPoints;
    InjectionPointBuffer skyPoints;

    VolumeGrid grid() const;
    FrameBuffer& target(VolumeTarget which);
    const FrameBuffer& target(VolumeTarget which) const;
};

// The renderer's three nested volumes (cells of 0.5, 1.0 and 3.5 units) with their programs.
// Volume 0 also draws glossy reflections; volume 2 alone receives the sky's light.
struct LightPropagationVolumeSet {
    ShaderProgram* reflectiveShadowMapProgram = nullptr;
    ShaderProgram* sunInjectionProgram = nullptr;
    ShaderProgram* skyInjectionProgram = nullptr;
    ShaderProgram* propagationProgram = nullptr;
    // The propagation step held back by the geometry volumes (the lpvOcclusion setting).
    ShaderProgram* occludedPropagationProgram = nullptr;
    // Adds the light the occluded step's surfaces stopped into the accumulation volume.
    ShaderProgram* stoppedLightProgram = nullptr;
    ShaderProgram* accumulationProgram = nullptr;
    ShaderProgram* renderProgram = nullptr;
    ShaderProgram* glossyReflectionsProgram = nullptr;

    LightPropagationVolume volumes[LightPropagationVolumeCount];
    // One geometry volume per light volume, index for index.
    GeometryVolumeSet geometry;
};

extern const char* const ReflectiveShadowMapVertexShaderPath;
extern const char* const ReflectiveShadowMapFragmentShaderPath;
extern const char* const SunInjectionVertexShaderPath;
extern const char* const SkyInjectionVertexShaderPath;
extern const char* const StoppedLightFragmentShaderPath;
extern const char* const InjectionFragmentShaderPath;
extern const char* const PropagationFragmentShaderPath;
extern const char* const OccludedPropagationFragmentShaderPath;
extern const char* const AccumulationFragmentShaderPath;
extern const char* const VolumeRenderFragmentShaderPath;
extern const char* const GlossyReflectionsFragmentShaderPath;

// Builds the programs and the three volumes with their targets, injection points and geometry
// volumes.
// Needs a current GL context; leaves the last target bound (the caller binds its own again).
void createLightPropagationVolumes(LightPropagationVolumeSet& set);

}  // namespace Orvanta
