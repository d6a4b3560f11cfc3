#include "renderer/ShadowUniforms.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

namespace {

constexpr SemanticRun faceMatrices{SHADOW_MATRIX_NX, PointLightShadowFaceCount, {"NX", "PX", "NY", "PY", "NZ", "PZ"}};
constexpr SemanticRun faceMaps{SHADOW_MAP_NX, PointLightShadowFaceCount, {"NX", "PX", "NY", "PY", "NZ", "PZ"}};
constexpr SemanticRun cascadeMatrices{CASCADED_SHADOW_MAP0_MATRIX, CascadedShadowMapCount};
constexpr SemanticRun cascadeSplits{CASCADED_SHADOW_MAP0_SPLIT_DISTANCE, CascadedShadowMapCount};
constexpr SemanticRun cascadeRadii{CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS, CascadedShadowMapCount};
constexpr SemanticRun cascadeMaps{CASCADED_SHADOW_MAP0, CascadedShadowMapCount};
constexpr SemanticRun overlappedMatrices{OVERLAPPED_SHADOW_MAP0_MATRIX, OverlappedShadowMapCount};
constexpr SemanticRun overlappedSplits{OVERLAPPED_SHADOW_MAP0_SPLIT_DISTANCE, OverlappedShadowMapCount};
constexpr SemanticRun overlappedRadii{OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS, OverlappedShadowMapCount};
constexpr SemanticRun overlappedMaps{OVERLAPPED_SHADOW_MAP0, OverlappedShadowMapCount};

Texture* colorTexture(const FrameBuffer& frameBuffer)
{
    return frameBuffer.colorTexture(0);
}

void setMatrix(int location, const Matrix4& m)
{
    glUniformMatrix4fvARB(location, 1, GL_FALSE, m.m);
}

}  // namespace

bool isShadowSemantic(UniformSemantic semantic)
{
    for (const SemanticRun& run : {faceMatrices, faceMaps, cascadeMatrices, cascadeSplits, cascadeRadii, cascadeMaps,
                                   overlappedMatrices, overlappedSplits, overlappedRadii, overlappedMaps})
        if (run.contains(semantic))
            return true;
    return semantic == SOFT_SHADOW_MAPPING_SAMPLING_VECTORS ||
           semantic == SOFT_SHADOW_MAPPING_NUM_OCCLUDER_SEARCH_SAMPLES || semantic == SOFT_SHADOW_MAPPING_NUM_SAMPLES ||
           semantic == SHADOW_SAMPLING_NOISE_TEXTURE;
}

bool setShadowUniform(const ShadowMapSet& set, UniformSemantic semantic, int location)
{
    if (faceMatrices.contains(semantic)) {
        setMatrix(location, set.pointLightFaces[faceMatrices.index(semantic)].matrix);
    } else if (cascadeMatrices.contains(semantic)) {
        setMatrix(location, set.cascades[cascadeMatrices.index(semantic)].camera.viewProjectionMatrix);
    } else if (cascadeSplits.contains(semantic)) {
        glUniform1fARB(location, set.cascades[cascadeSplits.index(semantic)].farSplitDistance);
    } else if (cascadeRadii.contains(semantic)) {
        glUniform1fARB(location, set.cascades[cascadeRadii.index(semantic)].uvSpaceSunLightRadius);
    } else if (overlappedMatrices.contains(semantic)) {
        setMatrix(location, set.overlapped[overlappedMatrices.index(semantic)].camera.viewProjectionMatrix);
    } else if (overlappedSplits.contains(semantic)) {
        glUniform1fARB(location, set.overlapped[overlappedSplits.index(semantic)].farSplitDistance);
    } else if (overlappedRadii.contains(semantic)) {
        glUniform1fARB(location, set.overlapped[overlappedRadii.index(semantic)].uvSpaceSunLightRadius);
    } else if (semantic == SOFT_SHADOW_MAPPING_SAMPLING_VECTORS) {
        if (set.samplingVectors.empty())
            return false;
        glUniform2fvARB(location, static_cast<GLsizei>(set.samplingVectors.size() / 2), set.samplingVectors.data());
    } else if (semantic == SOFT_SHADOW_MAPPING_NUM_OCCLUDER_SEARCH_SAMPLES) {
        glUniform1iARB(location, set.occluderSearchSamples);
    } else if (semantic == SOFT_SHADOW_MAPPING_NUM_SAMPLES) {
        glUniform1iARB(location, set.samples);
    } else {
        return false;
    }
    return true;
}

Texture* shadowTexture(const ShadowMapSet& set, UniformSemantic semantic)
{
    if (faceMaps.contains(semantic))
        return colorTexture(set.pointLightFaces[faceMaps.index(semantic)].shadowMap);
    if (cascadeMaps.contains(semantic))
        return colorTexture(set.cascades[cascadeMaps.index(semantic)].shadowMap);
    if (overlappedMaps.contains(semantic))
        return colorTexture(set.overlapped[overlappedMaps.index(semantic)].shadowMap);
    if (semantic == SHADOW_SAMPLING_NOISE_TEXTURE)
        return set.samplingNoise;
    return nullptr;
}

}  // namespace Orvanta
