#include "gpu/MipChain.h"

#include "scene/SrgbCurve.h"

#include <cmath>

namespace Orvanta {

namespace {

MipLevel halve(uint32_t width, uint32_t height, const uint8_t* above, uint32_t channels, bool srgb)
{
    MipLevel level;
    level.width = width < 2 ? 1 : width / 2;
    level.height = height < 2 ? 1 : height / 2;
    level.pixels.resize(size_t(level.width) * level.height * channels);
    const uint32_t columns = width < 2 ? 1 : 2;
    const uint32_t rows = height < 2 ? 1 : 2;
    const float count = float(columns * rows);
    for (uint32_t y = 0; y < level.height; ++y)
        for (uint32_t x = 0; x < level.width; ++x) {
            uint8_t* out = level.pixels.data() + (size_t(y) * level.width + x) * channels;
            for (uint32_t c = 0; c < channels; ++c) {
                const bool encoded = srgb && c < 3;
                float sum = 0.0f;
                for (uint32_t j = 0; j < rows; ++j)
                    for (uint32_t i = 0; i < columns; ++i) {
                        const uint8_t v = above[(size_t(2 * y + j) * width + 2 * x + i) * channels + c];
                        sum += encoded ? srgbByteToLinear(v) : float(v);
                    }
                // A byte sum over four texels is exact in a float, so the ties of the linear
                // channels are real ties, and nearbyint breaks them to even.
                out[c] = encoded ? linearToSrgbByte(sum / count) : uint8_t(std::nearbyint(sum / count));
            }
        }
    return level;
}

}  // namespace

std::vector<MipLevel> buildMipChain(uint32_t width, uint32_t height, uint32_t channels,
                                    const std::vector<uint8_t>& pixels, bool srgb)
{
    std::vector<MipLevel> chain;
    if (width == 0 || height == 0 || (channels != 3 && channels != 4) ||
        pixels.size() != size_t(width) * height * channels)
        return chain;
    const uint8_t* above = pixels.data();
    while (width > 1 || height > 1) {
        chain.push_back(halve(width, height, above, channels, srgb));
        width = chain.back().width;
        height = chain.back().height;
        above = chain.back().pixels.data();
    }
    return chain;
}

}  // namespace Orvanta
