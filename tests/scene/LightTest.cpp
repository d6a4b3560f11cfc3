#include "SceneTestSupport.h"

#include "scene/Light.h"

#include <cmath>
#include <random>

using namespace Orvanta;
using OrvantaTest::expectNear;

TEST(SunLight, IsASunLightFallingStraightDownAtNoon)
{
    SunLight sun;
    EXPECT_EQ(sun.type, LightTypeSun);
    sun.setSunPosition(0.0f, 0.0f);
    expectNear(sun.direction, {0, -1, 0});
}

TEST(SunLight, HorizonAndTiltedPath)
{
    SunLight sun;
    sun.setSunPosition(1.5707963f, 0.0f);
    expectNear(sun.direction, {0, 0, -1});
    sun.setSunPosition(0.0f, 1.5707963f);
    expectNear(sun.direction, {1, 0, 0});
    EXPECT_FLOAT_EQ(sun.timeOfDay, 0.0f);
    EXPECT_FLOAT_EQ(sun.inclination, 1.5707963f);
}

TEST(SunLight, DirectionFollowsClosedFormAndHasUnitLength)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> time(-2.07f, 2.07f), tilt(-1.57f, 1.57f);
    SunLight sun;
    for (int n = 0; n < 200; ++n) {
        float t = time(rng), i = tilt(rng);
        sun.setSunPosition(t, i);
        ASSERT_NEAR(length(sun.direction), 1.0f, 1e-5f);
        expectNear(sun.direction, {std::cos(t) * std::sin(i), -std::cos(t) * std::cos(i), -std::sin(t)});
    }
}
