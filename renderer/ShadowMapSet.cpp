#include "renderer/ShadowMapSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/SamplingVectors.h"

namespace Orvanta {

const char* const ShadowZFillVertexShaderPath = "resources/shaders/engine/shadows/zFillVertex.shader";
const char* const ShadowZFillFragmentShaderPath = "resources/shaders/engine/shadows/zFillFragment.shader";
const char* const ShadowZFillAlphaTestedFragmentShaderPath =
    "resources/shaders/engine/shadows/zFillAlphaTestedFragment.shader";
const char* const ShadowTransmittanceVertexShaderPath = "resources/shaders/engine/shadows/transmittanceVertex.shader";
const char* const ShadowTransmittanceFragmentShaderPath =
    "resources/shaders/engine/shadows/transmittanceFragment.shader";
const char* const ShadowSamplingNoiseTexturePath = "resources/textures/engine/shadowSamplingNoise.tga";

namespace {

constexpr float cascadeSplits[CascadedShadowMapCount + 1] = {0.0f, 5.0f, 15.0f, 30.0f, 50.0f, 100.0f};
constexpr float overlappedHalfSizes[OverlappedShadowMapCount] = {5.0f, 15.0f, 50.0f};

// A square target of one linearly filtered RG16F colour texture and a depth renderbuffer.
void createShadowMapFrameBuffer(FrameBuffer& frameBuffer, int size)
{
    frameBuffer.create(size, size);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer.framebufferId);
    frameBuffer.addColorAttachment(0, PixelFormatRg16F, 1, false);
    frameBuffer.addDepthRenderbuffer();
    frameBuffer.setDrawBuffers();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace

void createPointLightShadowFaces(ShadowMapSet& set)
{
    for (PointLightShadowFace& face : set.pointLightFaces) {
        face.matrix = PointLightShadowFace::zeroMatrix();
        createShadowMapFrameBuffer(face.shadowMap, PointLightShadowMapSize);
    }
}

void createCascadedShadowMaps(ShadowMapSet& set)
{
    for (int i = 0; i < CascadedShadowMapCount; ++i) {
        ShadowMapRecord& cascade = set.cascades[i];
        createShadowMapFrameBuffer(cascade.shadowMap, CascadedShadowMapSize);
        cascade.nearSplitDistance = cascadeSplits[i];
        cascade.farSplitDistance = cascadeSplits[i + 1];
    }
    set.cascadedSunLightRadius = 2.0f;
}

void createOverlappedShadowMaps(ShadowMapSet& set)
{
    for (int i = 0; i < OverlappedShadowMapCount; ++i) {
        ShadowMapRecord& map = set.overlapped[i];
        createShadowMapFrameBuffer(map.shadowMap, OverlappedShadowMapSize);
        map.nearSplitDistance = 0.0f;
        map.farSplitDistance = overlappedHalfSizes[i];
    }
    set.overlappedSunLightRadius = 0.4f;
}

void createShadowPrograms(ShadowMapSet& set)
{
    set.zFillProgram = getProgram(ShadowZFillVertexShaderPath, ShadowZFillFragmentShaderPath);
    set.alphaTestedZFillProgram = getProgram(ShadowZFillVertexShaderPath, ShadowZFillAlphaTestedFragmentShaderPath);
    set.transmittanceProgram = getProgram(ShadowTransmittanceVertexShaderPath, ShadowTransmittanceFragmentShaderPath);
    set.samplingVectors = makeDiscSamplingVectors(SoftShadowSamplingVectorCount, 1.0f);
    set.occluderSearchSamples = 8;
    set.samples = 32;
}

void loadShadowSamplingNoise(ShadowMapSet& set)
{
    set.samplingNoise = getTexture(ShadowSamplingNoiseTexturePath, false);
}

}  // namespace Orvanta
