#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orvanta {

struct TgaImage;

// One texel: linear red, green, blue, alpha. 16-byte aligned so four lanes load as one vector.
struct alignas(16) RtTexel {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct RtImageLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<RtTexel> texels;  // row by row; RtTexel's alignment keeps the array 16-byte aligned

    const RtTexel& texel(uint32_t x, uint32_t y) const { return texels[size_t(y) * width + x]; }
};

// A CPU-side floating-point mip chain of a colour or normal texture, sampled by the ray tracer.
struct RtImage {
    std::vector<RtImageLevel> levels;  // level 0 first
};

// Builds the chain from a decoded TGA: its levels decoded to linear floats, below it the levels
// the GL texture of the same file holds (gpu/MipChain.h). srgb images are linearised with the
// exact sRGB curve (scene/SrgbCurve.h), the one GL_SRGB8 textures apply; alpha never is.
RtImage buildRtImage(const TgaImage& image, bool srgb);

// Finds the image in the resource cache's image table by its whole path, or decodes the TGA and
// appends it. A cached image is returned whatever srgb flag later calls pass. A file that cannot be
// decoded is reported and yields null (the surface then samples as if it had no image).
RtImage* findOrLoadImage(const std::string& path, bool srgb);

}  // namespace Orvanta
