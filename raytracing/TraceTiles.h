#pragma once
#include <cstdint>
#include <vector>

namespace Orvanta {

// The side of the square tiles the workers take, in tracing pixels.
inline constexpr uint32_t kTraceTileSize = 40;

// One tile of the traced region: inclusive pixel bounds, relative to the region's corner.
struct Tile {
    uint32_t x0 = 0;
    uint32_t y0 = 0;
    uint32_t x1 = 0;
    uint32_t y1 = 0;
};

// A rectangle of tracing pixels.
struct PixelRect {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
};

// How many tiles a region of the whole tracing resolution needs: ceil(width / 40) times
// ceil(height / 40). No region inside that resolution needs more.
uint32_t traceTileCapacity(uint32_t width, uint32_t height);

// The traced region of a screen rectangle (left, bottom, right, top in 0..1) at a tracing
// resolution of width x height: corner (width - 1) * left, (height - 1) * bottom and size
// (right - left) * width, (top - bottom) * height, each truncated. The rectangle is clamped into
// 0..1 first (NaN counts as 0), an inverted one (right < left or top < bottom) covers nothing,
// and the size is cut so that the region never reaches past the resolution.
PixelRect traceRegionForScreenRect(float left, float bottom, float right, float top, uint32_t width, uint32_t height);

// Cuts a region of width x height pixels into 40 x 40 tiles, rows of tiles from y = 0, each row
// left to right; the last tile of a row or column takes what is left. Writes at most tiles.size()
// of them and returns how many it wrote. An empty region gives none.
uint32_t cutIntoTiles(uint32_t width, uint32_t height, std::vector<Tile>& tiles);

}  // namespace Orvanta
