#include "TextureWriter.h"

#include "gpu/TgaFile.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

uint8_t toByte(float value)
{
    float v = std::clamp(value, 0.0f, 1.0f);
    return static_cast<uint8_t>(std::lround(v * 255.0f));
}

bool writePicture(const std::string& path, const Picture& picture, bool withAlpha, std::string& error)
{
    int channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> stored(static_cast<size_t>(picture.width) * picture.height * channels);
    size_t out = 0;
    // The first stored row is the picture's last row: the loader reverses the row order.
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.at(x, y);
            stored[out++] = p[2];
            stored[out++] = p[1];
            stored[out++] = p[0];
            if (withAlpha)
                stored[out++] = p[3];
        }
    }
    return writeTgaFile(path, static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height),
                        withAlpha ? 32 : 24, stored, error);
}

}  // namespace Orvanta
