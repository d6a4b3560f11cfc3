#include "raytracing/HalfFloat.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

// The value of a half by the IEEE definition, subnormals included.
double halfValue(uint16_t h)
{
    const int e = (h >> 10) & 0x1F, m = h & 0x3FF;
    const double v = e == 0 ? std::ldexp(double(m), -24) : std::ldexp(double(1024 + m), e - 25);
    return (h & 0x8000) ? -v : v;
}

}  // namespace

TEST(HalfFloat, WideningMovesTheBitFieldsForEveryHalf)
{
    for (uint32_t h = 0; h < 65536; ++h) {
        const int e = (h >> 10) & 0x1F;
        const double expected = std::ldexp(double(1024 + (h & 0x3FF)), e + 112 - 127 - 10) * ((h & 0x8000) ? -1 : 1);
        ASSERT_EQ(double(widenHalf(uint16_t(h))), expected) << h;
    }
    EXPECT_EQ(widenHalf(0), std::ldexp(1.0f, -15));
    const uint16_t four[4] = {0x3C00, 0xC000, 0x3800, 0x7BFF};
    float out[4];
    widenHalf4(four, out);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], -2.0f);
    EXPECT_EQ(out[2], 0.5f);
    EXPECT_EQ(out[3], 65504.0f);
}

TEST(HalfFloat, NarrowingRoundsToNearestEvenForEveryHalf)
{
    for (uint32_t h = 0; h < 65536; ++h) {
        const int e = (h >> 10) & 0x1F;
        if (e == 31)
            continue;
        const uint16_t half = uint16_t(h);
        const float v = float(halfValue(half));
        ASSERT_EQ(narrowToHalf(v), half) << h;
        if ((h & 0x7FFF) == 0x7BFF)
            continue;  // no finite neighbour above
        const uint16_t next = uint16_t(h + 1);
        const float mid = float((halfValue(half) + halfValue(next)) / 2);  // exact in float
        const uint16_t even = (half & 1) ? next : half;
        ASSERT_EQ(narrowToHalf(mid), even) << "midpoint above " << h;
        const float above = std::nextafter(mid, (h & 0x8000) ? -1e9f : 1e9f);
        const float below = std::nextafter(mid, 0.0f);
        ASSERT_EQ(narrowToHalf(above), next) << h;
        ASSERT_EQ(narrowToHalf(below), half) << h;
    }
    EXPECT_EQ(narrowToHalf(1e6f), 0x7C00);
    EXPECT_EQ(narrowToHalf(-1e6f), 0xFC00);
    EXPECT_EQ(narrowToHalf(65519.0f), 0x7BFF);
    EXPECT_EQ(narrowToHalf(65520.0f), 0x7C00);
    EXPECT_EQ(narrowToHalf(1e-10f), 0);
    EXPECT_EQ(narrowToHalf(NAN) & 0x7C00, 0x7C00);
    EXPECT_NE(narrowToHalf(NAN) & 0x3FF, 0);
}
