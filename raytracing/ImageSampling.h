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
SampledColor sampleImage(const RtImage& image, float tu, float tv, float dudx, float dvdx, float dudy, float dvdy);

// The sample a GPU returns for a repeating, trilinearly filtered texture: texel centres at
// half-texel offsets, the level of detail from the longer axis of the footprint, the two nearest
// levels blended. The frame asks for anisotropic filtering where the GL has it, but how a GPU
// spends it is its own; measured against llvmpipe's G-buffer, plain trilinear filtering matched
// best (median albedo 1.1 levels of 255 against 1.4 with sixteen probes along the long axis).
// For a tracer that must see textures as the rasterised frame does.
SampledColor sampleImageFiltered(const RtImage& image, float tu, float tv, float dudx, float dvdx, float dudy,
                                 float dvdy);

}  // namespace Orvanta
