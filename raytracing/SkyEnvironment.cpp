#include "raytracing/SkyEnvironment.h"

#include "raytracing/PathSampling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace Orvanta {

namespace {

// Elevation at map coordinate v: v - 0.5 runs through a square root (see skyMapCoordinates).
float elevationAt(float v)
{
    const float s = v * 2.0f - 1.0f;
    return std::copysign(s * s, s) * 0.5f * EnginePi;
}

// Solid angle of the texels of row j: the band between two elevations, split over the width.
float texelSolidAngle(const SkyEnvironment& sky, uint32_t j)
{
    const float sin0 = std::sin(elevationAt(float(j) / float(sky.height)));
    const float sin1 = std::sin(elevationAt(float(j + 1) / float(sky.height)));
    return 2.0f * EnginePi / float(sky.width) * (sin1 - sin0);
}

const Float3& texel(const SkyEnvironment& sky, int64_t x, int64_t y)
{
    x = std::clamp<int64_t>(x, 0, int64_t(sky.width) - 1);
    y = std::clamp<int64_t>(y, 0, int64_t(sky.height) - 1);
    return sky.radiance[size_t(y) * sky.width + size_t(x)];
}

// The index of the first entry of a cumulative table above u, within [0, count).
uint32_t pickFrom(const float* cdf, uint32_t count, float u)
{
    const float* found = std::upper_bound(cdf, cdf + count, u);
    return uint32_t(std::min<std::ptrdiff_t>(found - cdf, std::ptrdiff_t(count) - 1));
}

void texelOf(const SkyEnvironment& sky, Float3 direction, uint32_t& x, uint32_t& y)
{
    float u, v;
    skyMapCoordinates(direction, u, v);
    x = uint32_t(std::clamp(int64_t(std::floor(u * float(sky.width))), int64_t(0), int64_t(sky.width) - 1));
    y = uint32_t(std::clamp(int64_t(std::floor(v * float(sky.height))), int64_t(0), int64_t(sky.height) - 1));
}

}  // namespace

void skyMapCoordinates(Float3 direction, float& u, float& v)
{
    const Float3 d = normalize(direction);
    u = std::atan2(d.z, d.x) / (2.0f * EnginePi) + 0.5f;
    const float elevation = std::asin(std::clamp(d.y, -1.0f, 1.0f)) / (0.5f * EnginePi);
    v = 0.5f + 0.5f * std::copysign(std::sqrt(std::fabs(elevation)), elevation);
}

Float3 skyMapDirection(float u, float v)
{
    const float azimuth = (u - 0.5f) * 2.0f * EnginePi;
    const float elevation = elevationAt(v);
    const float c = std::cos(elevation);
    return {c * std::cos(azimuth), std::sin(elevation), c * std::sin(azimuth)};
}

SkyEnvironment uniformSky(Float3 radiance)
{
    SkyEnvironment sky;
    sky.width = sky.height = 1;
    sky.radiance = {radiance};
    prepareSkySampling(sky);
    return sky;
}

void prepareSkySampling(SkyEnvironment& sky)
{
    const uint32_t w = sky.width, h = sky.height;
    sky.rowCdf.assign(h, 0.0f);
    sky.texelCdf.assign(size_t(w) * h, 0.0f);
    sky.texelProbability.assign(size_t(w) * h, 0.0f);
    if (w == 0 || h == 0 || sky.radiance.size() != size_t(w) * h)
        return;
    // A texel's weight is the brightest radiance the bilinear filter can bring into it (its own and
    // its neighbours'), times its solid angle, plus a floor: no direction the sky lights is ever
    // left without samples, so the estimate stays unbiased.
    std::vector<double> weights(size_t(w) * h);
    double total = 0.0;
    for (uint32_t y = 0; y < h; ++y) {
        const double solidAngle = texelSolidAngle(sky, y);
        for (uint32_t x = 0; x < w; ++x) {
            float brightest = 0.0f;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    brightest = std::max(brightest, luminanceOf(texel(sky, int64_t(x) + dx, int64_t(y) + dy)));
            weights[size_t(y) * w + x] = double(brightest) * solidAngle;
            total += weights[size_t(y) * w + x];
        }
    }
    // The floor: a tenth of the weight spread evenly over the sphere (all of it for a black sky).
    double floorPerSteradian = total > 0.0 ? 0.1 * total / (4.0 * EnginePi) : 1.0;
    double sum = 0.0;
    std::vector<double> rowSums(h, 0.0);
    for (uint32_t y = 0; y < h; ++y) {
        const double solidAngle = texelSolidAngle(sky, y);
        for (uint32_t x = 0; x < w; ++x) {
            double& weight = weights[size_t(y) * w + x];
            weight += floorPerSteradian * solidAngle;
            rowSums[y] += weight;
        }
        sum += rowSums[y];
    }
    double running = 0.0;
    for (uint32_t y = 0; y < h; ++y) {
        running += rowSums[y];
        sky.rowCdf[y] = float(running / sum);
        double inRow = 0.0;
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            inRow += weights[i];
            sky.texelCdf[i] = float(inRow / rowSums[y]);
            sky.texelProbability[i] = float(weights[i] / sum);
        }
    }
    sky.rowCdf[h - 1] = 1.0f;
}

Float3 skyRadianceIn(const SkyEnvironment& sky, Float3 direction)
{
    if (sky.radiance.empty())
        return {};
    float u, v;
    skyMapCoordinates(direction, u, v);
    // Texel centres lie at (i + 0.5) / size, as the GPU's bilinear filter reads them.
    const float fx = u * float(sky.width) - 0.5f;
    const float fy = v * float(sky.height) - 0.5f;
    const float x0 = std::floor(fx), y0 = std::floor(fy);
    const float ax = fx - x0, ay = fy - y0;
    const int64_t ix = int64_t(x0), iy = int64_t(y0);
    const Float3 bottom = texel(sky, ix, iy) * (1.0f - ax) + texel(sky, ix + 1, iy) * ax;
    const Float3 top = texel(sky, ix, iy + 1) * (1.0f - ax) + texel(sky, ix + 1, iy + 1) * ax;
    return bottom * (1.0f - ay) + top * ay;
}

Float3 sampleSkyDirection(const SkyEnvironment& sky, float u1, float u2, float& pdf)
{
    pdf = 0.0f;
    if (sky.rowCdf.empty() || sky.rowCdf.size() != sky.height)
        return {0.0f, 1.0f, 0.0f};
    const uint32_t y = pickFrom(sky.rowCdf.data(), sky.height, u1);
    const float rowStart = y ? sky.rowCdf[y - 1] : 0.0f;
    const float* row = &sky.texelCdf[size_t(y) * sky.width];
    const uint32_t x = pickFrom(row, sky.width, u2);
    // Reuse what is left of each uniform number inside the chosen entry to place the direction
    // within the texel: uniform in azimuth and in the sine of the elevation, so uniform in solid angle.
    const float rowSpan = std::max(sky.rowCdf[y] - rowStart, 1e-12f);
    const float texelStart = x ? row[x - 1] : 0.0f;
    const float texelSpan = std::max(row[x] - texelStart, 1e-12f);
    const float su = std::clamp((u2 - texelStart) / texelSpan, 0.0f, 1.0f);
    const float sv = std::clamp((u1 - rowStart) / rowSpan, 0.0f, 1.0f);
    const float azimuth = ((float(x) + su) / float(sky.width) - 0.5f) * 2.0f * EnginePi;
    const float sin0 = std::sin(elevationAt(float(y) / float(sky.height)));
    const float sin1 = std::sin(elevationAt(float(y + 1) / float(sky.height)));
    const float sinElevation = std::clamp(sin0 + sv * (sin1 - sin0), -1.0f, 1.0f);
    const float c = std::sqrt(std::max(0.0f, 1.0f - sinElevation * sinElevation));
    pdf = sky.texelProbability[size_t(y) * sky.width + x] / texelSolidAngle(sky, y);
    return {c * std::cos(azimuth), sinElevation, c * std::sin(azimuth)};
}

float skyDirectionPdf(const SkyEnvironment& sky, Float3 direction)
{
    if (sky.texelProbability.size() != size_t(sky.width) * sky.height || sky.texelProbability.empty())
        return 0.0f;
    uint32_t x, y;
    texelOf(sky, direction, x, y);
    return sky.texelProbability[size_t(y) * sky.width + x] / texelSolidAngle(sky, y);
}

Float3 sunRadianceIn(const SkyEnvironment& sky, Float3 direction)
{
    if (sky.sunCosRadius >= 1.0f || dot(direction, sky.towardSun) < sky.sunCosRadius)
        return {};
    return sky.sunIrradiance / (2.0f * EnginePi * (1.0f - sky.sunCosRadius));
}

SkyEnvironment withOutsideLight(const SkyEnvironment& sky, OutsideLight light)
{
    SkyEnvironment kept = sky;
    if (light == OutsideLight::SkyOnly)
        kept.sunIrradiance = {};
    if (light == OutsideLight::SunOnly) {
        kept.radiance.assign(kept.radiance.size(), Float3{});
        prepareSkySampling(kept);
    }
    return kept;
}

}  // namespace Orvanta
