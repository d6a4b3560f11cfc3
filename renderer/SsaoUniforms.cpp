#include "renderer/SsaoUniforms.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

bool setSsaoUniform(const SsaoSet& set, UniformSemantic semantic, int location)
{
    if (!set.created())
        return false;
    // Counts are element counts: SsaoSampleCount vec2 values, SsaoBlurCoefficientCount floats.
    const int sampleCount = static_cast<int>(set.samplingVectors.size() / 2);
    switch (semantic) {
    case SSAO_SAMPLING_VECTORS:
        glUniform2fvARB(location, sampleCount, set.samplingVectors.data());
        return true;
    case SSAO_NUM_SAMPLES:
        glUniform1iARB(location, sampleCount);
        return true;
    case SSAO_DISTANCE:
        glUniform1fARB(location, set.distance);
        return true;
    case SSAO_INTENSITY:
        glUniform1fARB(location, set.intensity);
        return true;
    case SSAO_BLUR_RADIUS:
        glUniform1fARB(location, set.blurRadius);
        return true;
    case SSAO_GAUSSIAN_BLUR_COEFFICIENTS:
        glUniform1fvARB(location, SsaoBlurCoefficientCount, set.blurCoefficients.data());
        return true;
    case SSAO_GAUSSIAN_BLUR_NUM_SAMPLES:
        glUniform1iARB(location, SsaoBlurCoefficientCount);
        return true;
    default:
        return false;
    }
}

Texture* ssaoTexture(const SsaoSet& set, UniformSemantic semantic)
{
    if (semantic != SSAO_TEXTURE || !set.created())
        return nullptr;
    return set.occlusionTexture();
}

}  // namespace Orvanta
