#include "content/RtImage.h"

#include "gpu/ResourceCache.h"
#include "gpu/TgaFile.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"
#include "scene/SrgbCurve.h"

#include <algorithm>

namespace Orvanta {

namespace {

bool isPowerOfTwo(uint32_t v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

uint32_t levelCountFor(uint32_t w, uint32_t h)
{
    if (!isPowerOfTwo(w) || !isPowerOfTwo(h))
        return 1;
    uint32_t largest = w > h ? w : h;
    uint32_t count = 1;
    while (largest > 1) {
        largest >>= 1;
        ++count;
    }
    return count;
}

// A level rounded to the 8 bits a channel of the GL texture keeps (colour channels of an sRGB
// image in their encoding), so that traced texels equal what the GPU's generated mipmaps hold.
float storedLinear(float value, bool srgb)
{
    return srgb ? srgbByteToLinear(linearToSrgbByte(value))
                : float(int(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f)) / 255.0f;
}

RtImageLevel halveLevel(const RtImageLevel& previous, bool srgb)
{
    RtImageLevel level;
    level.width = previous.width < 2 ? 1 : previous.width / 2;
    level.height = previous.height < 2 ? 1 : previous.height / 2;
    level.texels.resize(size_t(level.width) * level.height);
    const bool wide = previous.width >= 2;
    const bool tall = previous.height >= 2;
    for (uint32_t y = 0; y < level.height; ++y) {
        for (uint32_t x = 0; x < level.width; ++x) {
            const RtTexel* samples[4];
            int n = 0;
            samples[n++] = &previous.texel(2 * x, 2 * y);
            if (wide)
                samples[n++] = &previous.texel(2 * x + 1, 2 * y);
            if (tall)
                samples[n++] = &previous.texel(2 * x, 2 * y + 1);
            if (wide && tall)
                samples[n++] = &previous.texel(2 * x + 1, 2 * y + 1);
            RtTexel sum;
            for (int i = 0; i < n; ++i) {
                sum.r += samples[i]->r;
                sum.g += samples[i]->g;
                sum.b += samples[i]->b;
                sum.a += samples[i]->a;
            }
            const float count = float(n);
            level.texels[size_t(y) * level.width + x] = {
                storedLinear(sum.r / count, srgb), storedLinear(sum.g / count, srgb), storedLinear(sum.b / count, srgb),
                storedLinear(sum.a / count, false)};
        }
    }
    return level;
}

}  // namespace

RtImage buildRtImage(const TgaImage& image, bool srgb)
{
    RtImage result;
    if (image.width == 0 || image.height == 0)
        return result;
    const uint32_t bytesPerTexel = image.bitsPerPixel / 8;
    const bool hasAlpha = bytesPerTexel == 4;

    // Decoding goes through a 256-entry table: one pow per byte value instead of one per channel.
    // Colour images use the exact sRGB curve that a GL_SRGB8 texture applies when sampled, so a
    // traced hit's albedo equals the G-buffer's.
    float decode[256];
    for (int i = 0; i < 256; ++i)
        decode[i] = srgb ? srgbByteToLinear(uint8_t(i)) : float(i) / 255.0f;

    RtImageLevel base;
    base.width = image.width;
    base.height = image.height;
    base.texels.resize(size_t(image.width) * image.height);
    for (size_t i = 0; i < base.texels.size(); ++i) {
        const uint8_t* p = image.pixels.data() + i * bytesPerTexel;
        base.texels[i] = {decode[p[2]], decode[p[1]], decode[p[0]], hasAlpha ? float(p[3]) / 255.0f : 1.0f};
    }

    const uint32_t levelCount = levelCountFor(image.width, image.height);
    result.levels.reserve(levelCount);
    result.levels.push_back(std::move(base));
    for (uint32_t j = 1; j < levelCount; ++j)
        result.levels.push_back(halveLevel(result.levels.back(), srgb));
    return result;
}

RtImage* findOrLoadImage(const std::string& path, bool srgb)
{
    KeyedList<RtImage>& table = resourceCache().images;
    if (RtImage* cached = table.find(path))
        return cached;
    TgaImage tga;
    std::string error;
    if (!staysInContentRoots(path)) {
        logError("ray-tracing image not loaded: " + path + ": the path climbs out of the content folders with \"..\"");
        return nullptr;
    }
    if (!readTgaFile(path, tga, error)) {
        logError("ray-tracing image not loaded: " + error);
        return nullptr;
    }
    // Lives until exit, as every cached resource does.
    RtImage* image = new RtImage(buildRtImage(tga, srgb));
    table.append(path, image);
    return image;
}

}  // namespace Orvanta
