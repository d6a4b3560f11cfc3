#include "scene/SrgbCurve.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Orvanta {

namespace {

// Where the curve's straight segment meets the power segment, on each side.
constexpr double kEncodedKnee = 0.04045;
constexpr double kLinearKnee = 0.0031308;
// Slope of the straight segment.
constexpr double kLinearSlope = 12.92;
// The power segment: ((c + kOffset) / (1 + kOffset)) ^ kExponent.
constexpr double kOffset = 0.055;
constexpr double kExponent = 2.4;

// In double, rounded to float once at the end: GL implementations decode bytes through tables of
// correctly rounded values, and a byte decoded here should match theirs to the last bit.
double decode(double c)
{
    return c <= kEncodedKnee ? c / kLinearSlope : std::pow((c + kOffset) / (1.0 + kOffset), kExponent);
}

}  // namespace

float srgbToLinear(float encoded)
{
    return float(decode(encoded));
}

float linearToSrgb(float linear)
{
    const double c = std::clamp(double(linear), 0.0, 1.0);
    return float(c <= kLinearKnee ? c * kLinearSlope : (1.0 + kOffset) * std::pow(c, 1.0 / kExponent) - kOffset);
}

float srgbByteToLinear(uint8_t value)
{
    // 256 values, computed once: the texture loaders and the mip levels decode every texel.
    static const auto table = [] {
        std::array<float, 256> values{};
        for (int i = 0; i < 256; ++i)
            values[size_t(i)] = float(decode(i / 255.0));
        return values;
    }();
    return table[value];
}

uint8_t linearToSrgbByte(float linear)
{
    return uint8_t(std::lround(linearToSrgb(linear) * 255.0f));
}

}  // namespace Orvanta
