#include "renderer/BoundingSphere.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

void expectContains(const BoundingSphere& sphere, const Float3* points, int count)
{
    for (int i = 0; i < count; ++i)
        EXPECT_LE(length(points[i] - sphere.center), sphere.radius * (1.0f + 1e-5f) + 1e-6f) << "point " << i;
}

}  // namespace

TEST(RitterBoundingSphere, TwoPointsGiveTheirMidpointAndHalfDistance)
{
    Float3 points[] = {{1, 2, 3}, {1, 2, 7}};
    BoundingSphere sphere = ritterBoundingSphere(points, 2);
    EXPECT_FLOAT_EQ(sphere.center.z, 5.0f);
    EXPECT_FLOAT_EQ(sphere.center.x, 1.0f);
    EXPECT_FLOAT_EQ(sphere.radius, 2.0f);
}

TEST(RitterBoundingSphere, EqualPairLengthsPreferXOverY)
{
    // The x pair (points 0, 1) and the y pair (points 2, 3) are both 2 apart. Starting from the x
    // pair, points 2 and 3 grow the sphere; starting from the y pair would give centre (0.75, 0, 0)
    // and radius 1.25.
    Float3 points[] = {{0, 0, 0}, {2, 0, 0}, {0.5f, -1, 0}, {0.5f, 1, 0}};
    BoundingSphere sphere = ritterBoundingSphere(points, 4);
    EXPECT_NEAR(sphere.center.x, 0.95403888f, 1e-5f);
    EXPECT_NEAR(sphere.center.y, -0.00928863f, 1e-5f);
    EXPECT_NEAR(sphere.center.z, 0.0f, 1e-6f);
    EXPECT_NEAR(sphere.radius, 1.10671353f, 1e-5f);
    expectContains(sphere, points, 4);
}

TEST(RitterBoundingSphere, EqualCoordinatesKeepTheEarlierExtremePoint)
{
    // Points 0 and 1 share the smallest x. Keeping point 0 pairs it with point 2 and then grows to
    // include point 1; taking point 1 would give centre (2, 0.5, 0) and radius 2.0616.
    Float3 points[] = {{0, 0, 0}, {0, 1, 0}, {4, 0, 0}};
    BoundingSphere sphere = ritterBoundingSphere(points, 3);
    EXPECT_NEAR(sphere.center.x, 1.89442719f, 1e-5f);
    EXPECT_NEAR(sphere.center.y, 0.05278640f, 1e-5f);
    EXPECT_NEAR(sphere.radius, 2.11803399f, 1e-5f);
    expectContains(sphere, points, 3);
}

TEST(RitterBoundingSphere, ContainsEveryPointOfIrregularClouds)
{
    unsigned state = 12345u;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f * 20.0f - 10.0f;
    };
    for (int cloud = 0; cloud < 50; ++cloud) {
        Float3 points[8];
        for (Float3& p : points)
            p = {next(), next() * 0.3f, next() * 2.0f};
        BoundingSphere sphere = ritterBoundingSphere(points, 8);
        expectContains(sphere, points, 8);
    }
}

TEST(RitterBoundingSphere, NoPointsGiveAZeroSphere)
{
    BoundingSphere sphere = ritterBoundingSphere(nullptr, 0);
    EXPECT_EQ(sphere.radius, 0.0f);
    Float3 one{4, 5, 6};
    sphere = ritterBoundingSphere(&one, 1);
    EXPECT_EQ(sphere.radius, 0.0f);
    EXPECT_EQ(sphere.center, one);
}
