#include "renderer/SunLightBasis.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

void expectNear(Float3 actual, Float3 expected, float tolerance = 1e-6f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

bool isFinite(Float3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void expectOrthonormal(const SunLightBasis& b)
{
    EXPECT_NEAR(length(b.u), 1.0f, 1e-5f);
    EXPECT_NEAR(length(b.v), 1.0f, 1e-5f);
    EXPECT_NEAR(dot(b.u, b.v), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(b.u, b.direction), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(b.v, b.direction), 0.0f, 1e-5f);
}

// The sun's direction for a time of day and inclination.
Float3 sunDirection(float t, float i)
{
    return {std::cos(t) * std::sin(i), -std::cos(t) * std::cos(i), -std::sin(t)};
}

}  // namespace

TEST(SunLightBasis, SunOverheadGivesTheFixedFrame)
{
    SunLightBasis basis = makeSunLightBasis({0.0f, -1.0f, 0.0f});
    expectNear(basis.u, {0.0f, 0.0f, -1.0f});
    expectNear(basis.v, {1.0f, 0.0f, 0.0f});
}

TEST(SunLightBasis, IsOrthonormalAlongTheSunsPaths)
{
    for (float t = -2.07f; t <= 2.07f; t += 0.23f) {
        for (float i = -1.57f; i <= 1.57f; i += 0.157f) {
            SunLightBasis basis = makeSunLightBasis(sunDirection(t, i));
            SCOPED_TRACE(testing::Message() << "t " << t << " i " << i);
            expectOrthonormal(basis);
        }
    }
}

TEST(SunLightBasis, LightTravellingAlongTheXAxisStillGivesAFiniteFrame)
{
    // (1, 0, 0) x d vanishes here; the frame must not turn into NaNs that reach the shadow maps.
    for (Float3 d : {Float3{1, 0, 0}, Float3{-1, 0, 0}, Float3{1.0f, 1e-9f, 0.0f}, sunDirection(0.0f, 1.5707964f),
                     sunDirection(0.0f, -1.5707964f)}) {
        d = normalize(d);
        SunLightBasis basis = makeSunLightBasis(d);
        EXPECT_TRUE(isFinite(basis.u) && isFinite(basis.v));
        expectOrthonormal(basis);
    }
}

TEST(SunLightBasis, ViewMatrixMapsIntoLightSpaceAroundTheOrigin)
{
    SunLightBasis basis = makeSunLightBasis(normalize(Float3{0.3f, -0.8f, 0.2f}));
    Matrix4 view = lightViewMatrix(basis);
    Float3 p{3.0f, -2.0f, 7.5f};
    Float3 light = transformPoint(view, p);
    EXPECT_NEAR(light.x, dot(basis.v, p), 1e-5f);
    EXPECT_NEAR(light.y, dot(basis.u, p), 1e-5f);
    EXPECT_NEAR(light.z, -dot(basis.direction, p), 1e-5f);
    expectNear(transformPoint(view, {0, 0, 0}), {0, 0, 0});
    EXPECT_EQ(view[15], 1.0f);
    EXPECT_EQ(view[3], 0.0f);
    EXPECT_EQ(view[7], 0.0f);
    EXPECT_EQ(view[11], 0.0f);
}
