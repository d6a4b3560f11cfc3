#include "raytracing/HalfFloat.h"

#include <cstring>

namespace Orvanta {

float widenHalf(uint16_t half)
{
    const uint32_t h = half;
    const uint32_t bits = ((h & 0x8000u) << 16) | ((((h >> 10) & 0x1Fu) + 112u) << 23) | ((h & 0x3FFu) << 13);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

void widenHalf4(const uint16_t in[4], float out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = widenHalf(in[i]);
}

uint16_t narrowToHalf(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    const uint16_t sign = uint16_t((bits >> 16) & 0x8000u);
    const uint32_t magnitude = bits & 0x7FFFFFFFu;
    if (magnitude >= 0x7F800000u)  // infinity or NaN (NaN keeps a set mantissa bit)
        return uint16_t(sign | 0x7C00u | (magnitude > 0x7F800000u ? 0x200u : 0u));
    const int exponent = int(magnitude >> 23) - 127;
    if (exponent >= 16)
        return uint16_t(sign | 0x7C00u);
    uint32_t mantissa = (magnitude & 0x7FFFFFu) | (exponent > -127 ? 0x800000u : 0u);
    // Number of low float mantissa bits that fall off: 13 for normal halves, more below 2^-14.
    int shift = exponent >= -14 ? 13 : 13 + (-14 - exponent);
    if (shift > 24)
        return sign;  // below half the smallest subnormal: rounds to zero
    uint32_t kept = mantissa >> shift;
    const uint32_t rest = mantissa & ((1u << shift) - 1u);
    const uint32_t halfway = 1u << (shift - 1);
    if (rest > halfway || (rest == halfway && (kept & 1u)))
        ++kept;
    // For normal results kept includes the implicit bit; adding the biased exponent above it lets a
    // mantissa carry roll over into the exponent (and into infinity) by plain addition.
    if (exponent >= -14)
        return uint16_t(sign | ((uint32_t(exponent + 14) << 10) + kept));
    return uint16_t(sign | kept);
}

}  // namespace Orvanta
