#include "content/RtImage.h"

#include "gpu/MipChain.h"
#include "gpu/ResourceCache.h"
#include "gpu/TgaFile.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"
#include "scene/SrgbCurve.h"

#include <algorithm>

namespace Orvanta {

namespace {

RtImageLevel decodeLevel(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels, uint32_t bytesPerTexel,
                         const float* decode)
{
    RtImageLevel level;
    level.width = width;
    level.height = height;
    level.texels.resize(size_t(width) * height);
    const bool hasAlpha = bytesPerTexel == 4;
    for (size_t i = 0; i < level.texels.size(); ++i) {
        const uint8_t* p = pixels.data() + i * bytesPerTexel;
        level.texels[i] = {decode[p[2]], decode[p[1]], decode[p[0]], hasAlpha ? float(p[3]) / 255.0f : 1.0f};
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

    // One table for both kinds of image. Colour images use the exact sRGB curve that a GL_SRGB8
    // texture applies when sampled, so a traced hit's albedo equals the G-buffer's.
    float decode[256];
    for (int i = 0; i < 256; ++i)
        decode[i] = srgb ? srgbByteToLinear(uint8_t(i)) : float(i) / 255.0f;

    // The levels are the ones the GL texture is given, so a traced texel is the G-buffer's at every level.
    const std::vector<MipLevel> chain = buildMipChain(image.width, image.height, bytesPerTexel, image.pixels, srgb);
    result.levels.reserve(chain.size() + 1);
    result.levels.push_back(decodeLevel(image.width, image.height, image.pixels, bytesPerTexel, decode));
    for (const MipLevel& level : chain)
        result.levels.push_back(decodeLevel(level.width, level.height, level.pixels, bytesPerTexel, decode));
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
