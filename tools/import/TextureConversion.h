#pragma once
// Texture images for the engine: decoded from what the model names (PNG, JPEG and the other
// formats stb_image reads), resampled to powers of two (the engine mipmaps every image texture),
// adjusted for their role and encoded as the uncompressed TGA files the engine reads.
#include "ImportedModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// RGBA8 pixels, row 0 at the top of the picture (texture coordinate t = 0 in the engine).
struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;

    uint8_t* at(uint32_t x, uint32_t y) { return &rgba[(size_t(y) * width + x) * 4]; }
    const uint8_t* at(uint32_t x, uint32_t y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

// The largest side an imported texture keeps.
inline constexpr uint32_t kMaxTextureSide = 4096;

// Decodes a texture source. False with the reason when the file is missing or unreadable or its
// content is not an image stb_image decodes.
bool decodeTexture(const TextureSource& source, const ImportedModel& model, DecodedImage& image, std::string& error);

// The power of two nearest to a side on a logarithmic scale (a tie goes up), at most
// kMaxTextureSide: 100 -> 128, 90 -> 64, 96 -> 128, 1 -> 1.
uint32_t powerOfTwoSide(uint32_t side);

// Resamples to the given size with edges clamped, so that corner texels keep the colour of the
// source's corners. Colour images filter in linear light (srgb true) with alpha as coverage;
// data images (normals, specular levels) filter their bytes as they are.
DecodedImage resampleImage(const DecodedImage& image, uint32_t width, uint32_t height, bool srgb);

// Multiplies every texel by a linear RGBA factor (the source material's base colour), working in
// linear light for the colour channels.
void applyColorFactor(DecodedImage& image, const float factor[4]);
// Multiplies alpha by a coverage image of the same size: its alpha where it has any below 255,
// else its red channel (grey-level opacity maps).
void applyCoverage(DecodedImage& image, const DecodedImage& coverage);
// Normal maps store +y towards decreasing t in the sources the importer reads; the engine's
// binormal points towards increasing t, so green is inverted.
void invertGreen(DecodedImage& image);
// A 1 x 1 image of one linear RGBA colour.
DecodedImage solidImage(const float color[4]);
bool hasTransparency(const DecodedImage& image);

// The TGA file of the image: 32 bits when withAlpha, else 24; stored bottom row first, so that the
// engine's loader, which turns stored rows upside down, puts row 0 at t = 0.
bool encodeTextureFile(const std::string& name, const DecodedImage& image, bool withAlpha, std::vector<uint8_t>& bytes,
                       std::string& error);

}  // namespace Orvanta
