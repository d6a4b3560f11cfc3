#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/ScreenSizedTargets.h"

#include <array>
#include <vector>

namespace Orvanta {

struct ShaderProgram;

constexpr int SsaoSampleCount = 16;
// Radius of the sampling disc; the occlusion shader scales it by the set's world distance.
constexpr float SsaoSamplingDiscRadius = 0.25f;
constexpr int SsaoBlurCoefficientCount = 21;

extern const char* const SsaoOcclusionShaderPath;
extern const char* const SsaoHorizontalBlurShaderPath;
extern const char* const SsaoVerticalBlurShaderPath;

// Weights of the separable Gaussian blur for taps at x = -2, -1.8, ..., 2 (weight of x:
// exp(-x^2) / sqrt(pi) * 0.2), divided by their sum so that a flat input stays flat.
std::array<float, SsaoBlurCoefficientCount> makeSsaoBlurCoefficients();

// Screen-space ambient occlusion: the occlusion is estimated at half resolution from a copy of
// the G-buffer's eye depth, blurred horizontally into a full-size target, then blurred vertically
// straight into the scene target, whose colour it multiplies. None of the targets has a depth
// buffer. Half sizes round down (a 641 x 361 client gives 320 x 180).
struct SsaoSet : ScreenSizedTargets {
    // Builds the targets at the client size, the three programs and the sampling vectors (from a
    // generator of their own: the same vectors on every run, whatever else draws from rand()).
    // Leaves the last target bound.
    void create(int width, int height);
    // (Re)builds the three targets alone for a new client size (the sampling vectors stay);
    // leaves the last bound.
    void resizeTargets(int width, int height) override;
    bool created() const { return occlusionProgram != nullptr; }

    Texture2D* depthTexture() const { return depth.colorTexture(0); }
    Texture2D* occlusionTexture() const { return occlusion.colorTexture(0); }
    Texture2D* blurTexture() const { return blur.colorTexture(0); }

    // World distance: samples reach up to SsaoSamplingDiscRadius of it around a pixel, and
    // geometry farther than it from the pixel occludes nothing.
    float distance = 3.0f;
    // How strongly the occluded fraction darkens.
    float intensity = 2.0f;
    // Reach of the blur on either side of a pixel, as a fraction of the screen width.
    float blurRadius = 0.05f;
    std::array<float, SsaoBlurCoefficientCount> blurCoefficients{};
    // SsaoSampleCount vectors in the disc, x and y interleaved.
    std::vector<float> samplingVectors;

    ShaderProgram* occlusionProgram = nullptr;
    ShaderProgram* horizontalBlurProgram = nullptr;
    ShaderProgram* verticalBlurProgram = nullptr;

    // Half size, R16F, nearest filtering: the eye depth the occlusion is estimated from.
    FrameBuffer depth;
    // Half size, 8-bit single channel, linear filtering: the ambient factor per pixel.
    FrameBuffer occlusion;
    // Full size, 8-bit single channel, linear filtering: the horizontally blurred factor.
    FrameBuffer blur;
};

}  // namespace Orvanta
