#pragma once
#include "content/RtImage.h"

namespace Orvanta {

struct SampledColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// Mip level for a footprint given in level-0 texels: ceil(log2 f) clamped to the chain; a zero,
// negative or non-finite footprint selects level 0.
uint32_t selectMipLevel(const RtImage& image, float footprint);

// Bilinear sample with repeat addressing on the level chosen from the texture-coordinate
// derivatives (no half-texel offset). An image without texels samples as opaque white, the same as
// a surface without an image.
SampledColor sampleImage(const RtImage& image, float tu, float tv, float dudx, float dvdx,
                         float dudy, float dvdy);

// The sample a GPU returns for a repeating, trilinearly and anisotropically (up to 16 probes)
// filtered texture: texel centres at half-texel offsets, the level of detail from the footprint's
// shorter axis, probes spread along its longer one, each probe blending the two nearest levels.
// For a tracer that must see textures as the rasterised frame does.
SampledColor sampleImageFiltered(const RtImage& image, float tu, float tv, float dudx, float dvdx, float dudy,
                                 float dvdy);

}  // namespace Orvanta
