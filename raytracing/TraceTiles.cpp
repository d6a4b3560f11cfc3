#include "raytracing/TraceTiles.h"

#include <algorithm>

namespace Orvanta {

namespace {

float unitInterval(float v)
{
    if (!(v > 0.0f))
        return 0.0f;
    return v < 1.0f ? v : 1.0f;
}

}  // namespace

uint32_t traceTileCapacity(uint32_t width, uint32_t height)
{
    const uint32_t across = (width + kTraceTileSize - 1) / kTraceTileSize;
    const uint32_t down = (height + kTraceTileSize - 1) / kTraceTileSize;
    return across * down;
}

PixelRect traceRegionForScreenRect(float left, float bottom, float right, float top, uint32_t width, uint32_t height)
{
    left = unitInterval(left);
    bottom = unitInterval(bottom);
    right = std::max(unitInterval(right), left);
    top = std::max(unitInterval(top), bottom);
    PixelRect region;
    if (width == 0 || height == 0)
        return region;
    region.x = static_cast<uint32_t>(static_cast<float>(width - 1) * left);
    region.y = static_cast<uint32_t>(static_cast<float>(height - 1) * bottom);
    region.width = std::min(static_cast<uint32_t>((right - left) * static_cast<float>(width)), width - region.x);
    region.height = std::min(static_cast<uint32_t>((top - bottom) * static_cast<float>(height)), height - region.y);
    return region;
}

uint32_t cutIntoTiles(uint32_t width, uint32_t height, std::vector<Tile>& tiles)
{
    uint32_t count = 0;
    for (uint32_t y = 0; y < height; y += kTraceTileSize) {
        for (uint32_t x = 0; x < width; x += kTraceTileSize) {
            if (count == tiles.size())
                return count;
            tiles[count++] = {x, y, std::min(x + kTraceTileSize - 1, width - 1),
                              std::min(y + kTraceTileSize - 1, height - 1)};
        }
    }
    return count;
}

}  // namespace Orvanta
