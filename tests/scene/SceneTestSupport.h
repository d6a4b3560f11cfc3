#pragma once
#include "scene/Math.h"

#include <gtest/gtest.h>

#include <array>

namespace OrvantaTest {

inline void expectNear(Orvanta::Float3 actual, Orvanta::Float3 expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The eight corners of an axis-aligned box in the engine's box corner order.
inline std::array<Orvanta::Float3, 8> boxCorners(Orvanta::Float3 lo, Orvanta::Float3 hi)
{
    return {{{lo.x, lo.y, lo.z},
             {hi.x, lo.y, lo.z},
             {hi.x, lo.y, hi.z},
             {lo.x, lo.y, hi.z},
             {lo.x, hi.y, lo.z},
             {hi.x, hi.y, lo.z},
             {hi.x, hi.y, hi.z},
             {lo.x, hi.y, hi.z}}};
}

}  // namespace OrvantaTest
