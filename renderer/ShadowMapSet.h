#pragma once
#include "renderer/FrameBuffer.h"
#include "scene/RenderCamera.h"

#include <vector>

namespace Orvanta {

class Texture2D;
struct ShaderProgram;

constexpr int PointLightShadowFaceCount = 6;
constexpr int CascadedShadowMapCount = 5;
constexpr int OverlappedShadowMapCount = 3;
constexpr int CascadedShadowMapSize = 2048;
constexpr int OverlappedShadowMapSize = 512;
constexpr int PointLightShadowMapSize = 512;
constexpr int SoftShadowSamplingVectorCount = 32;

// One orthographic sun shadow map: the camera it is rendered from (a scene view of its own, so the
// visibility update culls its shadow casters), its target and its ranges.
struct ShadowMapRecord {
    RenderCamera camera;
    // RG16F colour (the nearest opaque occluder's encoded light depth, and the share of light the
    // panes in front of it let through, 1 where there are none; linear filtering) and a depth
    // renderbuffer.
    FrameBuffer shadowMap;
    float nearSplitDistance = 0.0f;
    // Cascades: the far end of the view-depth slice. Overlapped maps: the square's half-size.
    float farSplitDistance = 0.0f;
    float uvSpaceSunLightRadius = 0.0f;
};

// A point light's cube face (order NX, PX, NY, PY, NZ, PZ). The targets and matrices exist and
// are supplied to shaders, but no pass draws into them, so the matrices stay zero.
struct PointLightShadowFace {
    Matrix4 matrix = zeroMatrix();
    FrameBuffer shadowMap;

    static Matrix4 zeroMatrix()
    {
        Matrix4 m;
        for (float& e : m.m)
            e = 0.0f;
        return m;
    }
};

// Everything the sun's soft shadows need, owned by the renderer and created once at start-up.
struct ShadowMapSet {
    PointLightShadowFace pointLightFaces[PointLightShadowFaceCount];
    ShadowMapRecord cascades[CascadedShadowMapCount];
    float cascadedSunLightRadius = 2.0f;
    ShadowMapRecord overlapped[OverlappedShadowMapCount];
    float overlappedSunLightRadius = 0.4f;

    ShaderProgram* zFillProgram = nullptr;
    ShaderProgram* alphaTestedZFillProgram = nullptr;
    ShaderProgram* transmittanceProgram = nullptr;  // panes, multiplied into the second channel
    // SoftShadowSamplingVectorCount vectors over the unit disc, x and y interleaved.
    std::vector<float> samplingVectors;
    int occluderSearchSamples = 8;
    int samples = 32;
    // Rotates the sampling disc per pixel; tiled every 32 pixels by the light passes.
    Texture2D* samplingNoise = nullptr;
};

extern const char* const ShadowZFillVertexShaderPath;
extern const char* const ShadowZFillFragmentShaderPath;
extern const char* const ShadowZFillAlphaTestedFragmentShaderPath;
extern const char* const ShadowTransmittanceVertexShaderPath;
extern const char* const ShadowTransmittanceFragmentShaderPath;
extern const char* const ShadowSamplingNoiseTexturePath;

// The start-up steps, in this order (the sampling vectors draw from rand(), and the ambient
// occlusion's generator starts past the draws they take):
// 1. the six point-light faces, then the five cascades with their split ranges;
// 2. the three overlapped maps with half-sizes 5, 15 and 50, the two z-fill programs and the
//    sampling vectors (and the panes' transmittance program).
// Needs a current GL context.
void createPointLightShadowFaces(ShadowMapSet& set);
void createCascadedShadowMaps(ShadowMapSet& set);
void createOverlappedShadowMaps(ShadowMapSet& set);
void createShadowPrograms(ShadowMapSet& set);
// The noise texture, loaded later with the renderer's other textures.
void loadShadowSamplingNoise(ShadowMapSet& set);

}  // namespace Orvanta
