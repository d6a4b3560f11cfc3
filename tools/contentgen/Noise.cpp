#include "Noise.h"

#include <cmath>

namespace Orvanta {

uint32_t hashCoordinates(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float hashToUnit(uint32_t h)
{
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

namespace {

int wrap(int v, int period)
{
    return ((v % period) + period) % period;
}

float smooth(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

float latticeNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float tx = smooth(x - fx);
    float ty = smooth(y - fy);
    auto at = [&](int cx, int cy) {
        if (periodX > 0) {
            cx = wrap(cx, periodX);
            cy = wrap(cy, periodY);
        }
        return hashToUnit(hashCoordinates(cx, cy, seed));
    };
    float a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    float b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

}  // namespace

float tileableNoise(float x, float y, int period, uint32_t seed)
{
    return latticeNoise(x, y, period, period, seed);
}

float tileableNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    return latticeNoise(x, y, periodX, periodY, seed);
}

float smoothNoise(float x, float y, uint32_t seed)
{
    return latticeNoise(x, y, 0, 0, seed);
}

float tileableFbm(float x, float y, int period, int octaves, uint32_t seed)
{
    return tileableFbm(x, y, period, period, octaves, seed);
}

float tileableFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * latticeNoise(x, y, periodX, periodY, seed + static_cast<uint32_t>(o) * 7919u);
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float tileableCellular(float x, float y, int period, uint32_t seed, uint32_t* cellHash)
{
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    float best = 1e9f;
    uint32_t bestHash = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx;
            int cy = iy + dy;
            uint32_t h = hashCoordinates(wrap(cx, period), wrap(cy, period), seed);
            float px = static_cast<float>(cx) + 0.15f + 0.7f * hashToUnit(h);
            float py = static_cast<float>(cy) + 0.15f + 0.7f * hashToUnit(h * 747796405u + 1u);
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best) {
                best = d;
                bestHash = h;
            }
        }
    }
    if (cellHash)
        *cellHash = bestHash;
    return best;
}

}  // namespace Orvanta
