#include "renderer/ShadowUniforms.h"

#include "platform/gl/GlExtensions.h"
#include "gpu/Texture.h"

namespace Orvanta {

namespace {

bool inRange(UniformSemantic semantic, UniformSemantic first, int count)
{
    return semantic >= first && semantic < first + count;
}

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
    return inRange(semantic, SHADOW_MATRIX_NX, SOFT_SHADOW_MAPPING_NUM_SAMPLES - SHADOW_MATRIX_NX + 1)
        || semantic == SHADOW_SAMPLING_NOISE_TEXTURE;
}

bool setShadowUniform(const ShadowMapSet& set, UniformSemantic semantic, int location)
{
    if (inRange(semantic, SHADOW_MATRIX_NX, PointLightShadowFaceCount)) {
        setMatrix(location, set.pointLightFaces[semantic - SHADOW_MATRIX_NX].matrix);
    } else if (inRange(semantic, CASCADED_SHADOW_MAP0_MATRIX, CascadedShadowMapCount)) {
        setMatrix(location,
            set.cascades[semantic - CASCADED_SHADOW_MAP0_MATRIX].camera.viewProjectionMatrix);
    } else if (inRange(semantic, CASCADED_SHADOW_MAP0_SPLIT_DISTANCE, CascadedShadowMapCount)) {
        glUniform1fARB(location,
            set.cascades[semantic - CASCADED_SHADOW_MAP0_SPLIT_DISTANCE].farSplitDistance);
    } else if (inRange(semantic, CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS,
                   CascadedShadowMapCount)) {
        glUniform1fARB(location,
            set.cascades[semantic - CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS]
                .uvSpaceSunLightRadius);
    } else if (inRange(semantic, OVERLAPPED_SHADOW_MAP0_MATRIX, OverlappedShadowMapCount)) {
        setMatrix(location,
            set.overlapped[semantic - OVERLAPPED_SHADOW_MAP0_MATRIX].camera.viewProjectionMatrix);
    } else if (inRange(semantic, OVERLAPPED_SHADOW_MAP0_SPLIT_DISTANCE, OverlappedShadowMapCount)) {
        glUniform1fARB(location,
            set.overlapped[semantic - OVERLAPPED_SHADOW_MAP0_SPLIT_DISTANCE].farSplitDistance);
    } else if (inRange(semantic, OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS,
                   OverlappedShadowMapCount)) {
        glUniform1fARB(location,
            set.overlapped[semantic - OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS]
                .uvSpaceSunLightRadius);
    } else if (semantic == SOFT_SHADOW_MAPPING_SAMPLING_VECTORS) {
        if (set.samplingVectors.empty())
            return false;
        glUniform2fvARB(location, static_cast<GLsizei>(set.samplingVectors.size() / 2),
            set.samplingVectors.data());
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
    if (inRange(semantic, SHADOW_MAP_NX, PointLightShadowFaceCount))
        return colorTexture(set.pointLightFaces[semantic - SHADOW_MAP_NX].shadowMap);
    if (inRange(semantic, CASCADED_SHADOW_MAP0, CascadedShadowMapCount))
        return colorTexture(set.cascades[semantic - CASCADED_SHADOW_MAP0].shadowMap);
    if (inRange(semantic, OVERLAPPED_SHADOW_MAP0, OverlappedShadowMapCount))
        return colorTexture(set.overlapped[semantic - OVERLAPPED_SHADOW_MAP0].shadowMap);
    if (semantic == SHADOW_SAMPLING_NOISE_TEXTURE)
        return set.samplingNoise;
    return nullptr;
}

}  // namespace Orvanta
