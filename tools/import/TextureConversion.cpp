#include "TextureConversion.h"

#include "gpu/TgaFile.h"
#include "scene/SrgbCurve.h"

#include <stb_image.h>
#include <stb_image_resize.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace Orvanta {

namespace {

uint8_t scaleByte(uint8_t value, float factor)
{
    return uint8_t(std::lround(std::clamp(float(value) * factor, 0.0f, 255.0f)));
}

bool decodeBytes(const std::vector<uint8_t>& bytes, DecodedImage& image, std::string& error)
{
    if (bytes.size() > size_t(INT32_MAX)) {
        error = "the image is too large to decode";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4);
    if (!pixels) {
        error = std::string("not a readable image (") + stbi_failure_reason() + ")";
        return false;
    }
    image.width = uint32_t(width);
    image.height = uint32_t(height);
    image.rgba.assign(pixels, pixels + size_t(width) * size_t(height) * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace

bool decodeTexture(const TextureSource& source, const ImportedModel& model, DecodedImage& image, std::string& error)
{
    if (source.embedded >= 0) {
        if (size_t(source.embedded) >= model.embeddedImages.size()) {
            error = "names an embedded image the model does not hold";
            return false;
        }
        const EmbeddedImage& embedded = model.embeddedImages[size_t(source.embedded)];
        if (!embedded.encoded.empty())
            return decodeBytes(embedded.encoded, image, error);
        if (embedded.width == 0 || embedded.height == 0) {
            error = "the embedded image has no pixels";
            return false;
        }
        image.width = embedded.width;
        image.height = embedded.height;
        image.rgba = embedded.rgba;
        return true;
    }
    std::ifstream file(source.file, std::ios::binary);
    if (!file) {
        error = std::string("cannot open (") + std::strerror(errno) + ")";
        return false;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return decodeBytes(bytes, image, error);
}

uint32_t powerOfTwoSide(uint32_t side)
{
    uint32_t lower = 1;
    while (lower * 2 <= side && lower < kMaxTextureSide)
        lower *= 2;
    if (lower >= kMaxTextureSide)
        return kMaxTextureSide;
    // side lies in [lower, 2 lower): the upper power is nearer in log2 when side² >= 2 lower².
    const uint64_t upper = uint64_t(lower) * 2;
    return uint64_t(side) * side >= uint64_t(lower) * upper ? uint32_t(upper) : lower;
}

DecodedImage resampleImage(const DecodedImage& image, uint32_t width, uint32_t height, bool srgb)
{
    if (image.width == width && image.height == height)
        return image;
    DecodedImage out;
    out.width = width;
    out.height = height;
    out.rgba.resize(size_t(width) * height * 4);
    if (srgb)
        stbir_resize_uint8_srgb(image.rgba.data(), int(image.width), int(image.height), 0, out.rgba.data(), int(width),
                                int(height), 0, 4, 3, 0);
    else
        stbir_resize_uint8(image.rgba.data(), int(image.width), int(image.height), 0, out.rgba.data(), int(width),
                           int(height), 0, 4);
    return out;
}

void applyColorFactor(DecodedImage& image, const float factor[4])
{
    if (factor[0] == 1.0f && factor[1] == 1.0f && factor[2] == 1.0f && factor[3] == 1.0f)
        return;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c)
            image.rgba[i + c] = linearToSrgbByte(srgbByteToLinear(image.rgba[i + c]) * factor[c]);
        image.rgba[i + 3] = scaleByte(image.rgba[i + 3], factor[3]);
    }
}

void applyCoverage(DecodedImage& image, const DecodedImage& coverage)
{
    const bool useAlpha = hasTransparency(coverage);
    for (size_t i = 0; i < image.rgba.size() && i < coverage.rgba.size(); i += 4) {
        const uint8_t amount = useAlpha ? coverage.rgba[i + 3] : coverage.rgba[i];
        image.rgba[i + 3] = scaleByte(image.rgba[i + 3], float(amount) / 255.0f);
    }
}

void invertGreen(DecodedImage& image)
{
    for (size_t i = 0; i < image.rgba.size(); i += 4)
        image.rgba[i + 1] = uint8_t(255 - image.rgba[i + 1]);
}

DecodedImage solidImage(const float color[4])
{
    DecodedImage image;
    image.width = image.height = 1;
    image.rgba = {linearToSrgbByte(color[0]), linearToSrgbByte(color[1]), linearToSrgbByte(color[2]),
                  uint8_t(std::lround(std::clamp(color[3], 0.0f, 1.0f) * 255.0f))};
    return image;
}

bool hasTransparency(const DecodedImage& image)
{
    for (size_t i = 3; i < image.rgba.size(); i += 4)
        if (image.rgba[i] != 255)
            return true;
    return false;
}

bool encodeTextureFile(const std::string& name, const DecodedImage& image, bool withAlpha, std::vector<uint8_t>& bytes,
                       std::string& error)
{
    const size_t channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> stored;
    stored.reserve(size_t(image.width) * image.height * channels);
    for (uint32_t row = image.height; row-- > 0;)
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, row);
            stored.insert(stored.end(), {p[2], p[1], p[0]});
            if (withAlpha)
                stored.push_back(p[3]);
        }
    return encodeTga(name, image.width, image.height, withAlpha ? 32 : 24, stored, bytes, error);
}

}  // namespace Orvanta
