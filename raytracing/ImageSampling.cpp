#include "raytracing/ImageSampling.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

// Splits a level-space coordinate into a wrapped integer texel index in [0, size) and the
// fraction towards the next texel. Wrapping in floating point first keeps huge or negative
// coordinates exact for any level size and away from out-of-range integer conversions.
void wrapCoordinate(float coordinate, uint32_t size, uint32_t& index, float& fraction)
{
    double c = std::isfinite(coordinate) ? double(coordinate) * double(size) : 0.0;
    double base = std::floor(c);
    fraction = float(c - base);
    double wrapped = base - std::floor(base / double(size)) * double(size);
    int64_t i = int64_t(wrapped);
    if (i < 0 || i >= int64_t(size))
        i = 0;
    index = uint32_t(i);
}

bool usableLevel(const RtImageLevel& l)
{
    return l.width > 0 && l.height > 0 && l.texels.size() >= size_t(l.width) * l.height;
}

// Bilinear with repeat addressing, texel (i, j) taken to stand at (i / width, j / height).
RtTexel bilinear(const RtImageLevel& level, float tu, float tv)
{
    uint32_t x0, y0;
    float ax, ay;
    wrapCoordinate(tu, level.width, x0, ax);
    wrapCoordinate(tv, level.height, y0, ay);
    const uint32_t x1 = x0 + 1 == level.width ? 0 : x0 + 1;
    const uint32_t y1 = y0 + 1 == level.height ? 0 : y0 + 1;
    const RtTexel& t00 = level.texel(x0, y0);
    const RtTexel& t10 = level.texel(x1, y0);
    const RtTexel& t01 = level.texel(x0, y1);
    const RtTexel& t11 = level.texel(x1, y1);
    auto blend = [&](float c00, float c10, float c01, float c11) {
        return ((1.0f - ax) * c00 + ax * c10) * (1.0f - ay) + ((1.0f - ax) * c01 + ax * c11) * ay;
    };
    return {blend(t00.r, t10.r, t01.r, t11.r), blend(t00.g, t10.g, t01.g, t11.g), blend(t00.b, t10.b, t01.b, t11.b),
            blend(t00.a, t10.a, t01.a, t11.a)};
}

// Bilinear with texel centres at (i + 0.5) / size, as a GPU samples.
RtTexel bilinearCentred(const RtImageLevel& level, float tu, float tv)
{
    return bilinear(level, tu - 0.5f / float(level.width), tv - 0.5f / float(level.height));
}

}  // namespace

SampledColor sampleImageFiltered(const RtImage& image, float tu, float tv, float dudx, float dvdx, float dudy,
                                 float dvdy)
{
    // Only the leading run of well-formed levels is used.
    size_t levels = 0;
    while (levels < image.levels.size() && usableLevel(image.levels[levels]))
        ++levels;
    if (levels == 0)
        return {1.0f, 1.0f, 1.0f, 1.0f};
    const float w0 = float(image.levels[0].width), h0 = float(image.levels[0].height);
    const float ax = dudx * w0, ay = dvdx * h0, bx = dudy * w0, by = dvdy * h0;
    float footprint = std::sqrt(std::max(ax * ax + ay * ay, bx * bx + by * by));
    if (!std::isfinite(footprint))
        footprint = 0.0f;
    const float lod = std::clamp(std::log2(std::max(footprint, 1e-8f)), 0.0f, float(levels - 1));
    const uint32_t fine = uint32_t(lod);
    const uint32_t coarse = std::min<uint32_t>(fine + 1, uint32_t(levels - 1));
    const float between = lod - float(fine);
    const RtTexel a = bilinearCentred(image.levels[fine], tu, tv);
    const RtTexel b = between > 0.0f ? bilinearCentred(image.levels[coarse], tu, tv) : a;
    return {a.r + (b.r - a.r) * between, a.g + (b.g - a.g) * between, a.b + (b.b - a.b) * between,
            a.a + (b.a - a.a) * between};
}

uint32_t selectMipLevel(const RtImage& image, float footprint)
{
    if (image.levels.empty() || !(footprint > 0.0f) || !std::isfinite(footprint))
        return 0;
    float level = std::ceil(std::log2(footprint));
    float last = float(image.levels.size() - 1);
    return uint32_t(std::clamp(level, 0.0f, last));
}

SampledColor sampleImage(const RtImage& image, float tu, float tv, float dudx, float dvdx, float dudy, float dvdy)
{
    if (image.levels.empty())
        return {1.0f, 1.0f, 1.0f, 1.0f};
    const RtImageLevel& base = image.levels[0];
    float w0 = float(base.width);
    float h0 = float(base.height);
    float fx = std::sqrt((dudx * w0) * (dudx * w0) + (dvdx * h0) * (dvdx * h0));
    float fy = std::sqrt((dudy * w0) * (dudy * w0) + (dvdy * h0) * (dvdy * h0));
    uint32_t levelIndex = selectMipLevel(image, std::max(fx, fy));

    // Fall back to finer levels if a level is malformed rather than read outside its texels.
    while (levelIndex > 0 && !usableLevel(image.levels[levelIndex]))
        --levelIndex;
    const RtImageLevel& level = image.levels[levelIndex];
    if (!usableLevel(level))
        return {1.0f, 1.0f, 1.0f, 1.0f};
    const RtTexel t = bilinear(level, tu, tv);
    return {t.r, t.g, t.b, t.a};
}

}  // namespace Orvanta
