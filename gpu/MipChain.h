#pragma once
#include <cstdint>
#include <vector>

namespace Orvanta {

// One level of an image's mipmap chain: texels tightly packed in the image's own byte layout.
struct MipLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

// The levels below an image of `channels` bytes per texel (3 or 4), from half its size down to
// 1 x 1: each texel the average of the 2 x 2 texels above it (an odd last row or column is left
// out, sizes halve rounding down, as GL's levels do), taken in linear light and rounded to the
// nearest byte, ties to even. The first three channels are sRGB-encoded when srgb is set; a fourth
// is coverage and always linear.
//
// Textures upload these levels instead of asking the driver to generate them: how a driver
// rounds is its own (Mesa's llvmpipe rounds every level up by half a step, so a normal map whose
// texels average exactly flat leans 1.3 degrees at its 8 x 8 level), and the ray tracer samples
// these same levels, so a traced texel is the G-buffer's.
std::vector<MipLevel> buildMipChain(uint32_t width, uint32_t height, uint32_t channels,
                                    const std::vector<uint8_t>& pixels, bool srgb);

}  // namespace Orvanta
