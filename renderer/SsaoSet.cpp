#include "renderer/SsaoSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "renderer/SamplingVectors.h"
#include "renderer/ShadowMapSet.h"
#include "scene/Math.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

const char* const SsaoOcclusionShaderPath = "resources/shaders/engine/ssaoFragment.shader";
const char* const SsaoHorizontalBlurShaderPath = "resources/shaders/engine/ssaoHorizontalBlurFragment.shader";
const char* const SsaoVerticalBlurShaderPath = "resources/shaders/engine/ssaoVerticalBlurFragment.shader";

namespace {

constexpr int filterNearest = 0;
constexpr int filterLinear = 1;

void createTarget(FrameBuffer& target, int width, int height, int32_t format, int filter, const char* name)
{
    target.create(width, height);
    target.addColorAttachment(0, format, filter, false);
    target.setDrawBuffers();
    target.checkComplete(name);
}

}  // namespace

std::array<float, SsaoBlurCoefficientCount> makeSsaoBlurCoefficients()
{
    std::array<float, SsaoBlurCoefficientCount> coefficients{};
    // The normalising factor in double precision, the rest in single.
    const float normalisation = static_cast<float>(std::sqrt(1.0 / static_cast<double>(EnginePi)));
    float sum = 0.0f;
    for (int i = 0; i < SsaoBlurCoefficientCount; ++i) {
        float x = -2.0f + 0.2f * static_cast<float>(i);
        coefficients[static_cast<size_t>(i)] = normalisation * std::exp(-x * x) * 0.2f;
        sum += coefficients[static_cast<size_t>(i)];
    }
    for (float& c : coefficients)
        c /= sum;
    return coefficients;
}

void SsaoSet::create(int width, int height)
{
    blurCoefficients = makeSsaoBlurCoefficients();
    // The vectors' own generator, placed where rand() stood when the demo drew them from it: seeded
    // as a program that never calls srand, past the draws the soft-shadow vectors take first.
    GlibcRandom random(1);
    random.discard(2 * SoftShadowSamplingVectorCount);
    samplingVectors = makeDiscSamplingVectors(SsaoSampleCount, SsaoSamplingDiscRadius, random);
    occlusionProgram = getFragmentProgram(SsaoOcclusionShaderPath);
    horizontalBlurProgram = getFragmentProgram(SsaoHorizontalBlurShaderPath);
    verticalBlurProgram = getFragmentProgram(SsaoVerticalBlurShaderPath);
    resizeTargets(width, height);
}

void SsaoSet::resizeTargets(int width, int height)
{
    // Integer halves: an odd size loses its last full-size row or column, which the linear
    // filtering of the occlusion target covers when the blur reads it back at full size. A
    // one-pixel side still gets a one-pixel target: GL has no empty ones.
    int halfWidth = std::max(width / 2, 1);
    int halfHeight = std::max(height / 2, 1);
    createTarget(depth, halfWidth, halfHeight, PixelFormatR16F, filterNearest, "SSAO depth");
    createTarget(occlusion, halfWidth, halfHeight, PixelFormatIntensity8, filterLinear, "SSAO occlusion");
    createTarget(blur, width, height, PixelFormatIntensity8, filterLinear, "SSAO blur");
}

}  // namespace Orvanta
