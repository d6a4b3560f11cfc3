#include "SceneTestSupport.h"

#include <cmath>
#include <random>

using namespace Orvanta;
using OrvantaTest::boxCorners;
using OrvantaTest::expectNear;

TEST(Perspective, ElementLayoutForWideScreenProjection)
{
    Matrix4 p = perspective(60.0f, 16.0f / 9.0f, 0.1f, 10000.0f);
    float t = std::tan(30.0f * 3.14159265f / 180.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15})
        EXPECT_EQ(p[i], 0.0f) << "element " << i;
    EXPECT_NEAR(p[0], 1.0f / (16.0f / 9.0f * t), 1e-5f);
    EXPECT_NEAR(p[5], 1.0f / t, 1e-5f);
    EXPECT_NEAR(p[10], -10000.1f / 9999.9f, 1e-5f);
    EXPECT_EQ(p[11], -1.0f);
    EXPECT_NEAR(p[14], -2.0f * 10000.0f * 0.1f / 9999.9f, 1e-5f);
}

TEST(Quaternions, HamiltonProductComposesRotationsRightToLeft)
{
    Quaternion yaw = fromAxisAngle({0, 1, 0}, 1.5707963f);
    Quaternion pitch = fromAxisAngle({1, 0, 0}, 1.5707963f);
    // pitch first, then yaw: +y -> +z (pitch about x) -> +x (yaw about y).
    expectNear(rotate(yaw * pitch, {0, 1, 0}), {1, 0, 0});
    expectNear(rotate(pitch * yaw, {0, 1, 0}), {0, 0, 1});
}

TEST(Quaternions, AxisIsNormalisedAndResultHasUnitLength)
{
    Quaternion q = fromAxisAngle({0, 0, 5}, 1.0f);
    EXPECT_NEAR(q.z, std::sin(0.5f), 1e-6f);
    EXPECT_NEAR(q.w, std::cos(0.5f), 1e-6f);
    expectNear(rotate(q, {1, 0, 0}), {std::cos(1.0f), std::sin(1.0f), 0});
}

TEST(ExtractFrustum, IdentityMatrixGivesUnitCubePlanes)
{
    Frustum f = extractFrustum(Matrix4{});
    const Float3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int i = 0; i < 6; ++i) {
        expectNear({f.planes[i].a, f.planes[i].b, f.planes[i].c}, normals[i]);
        EXPECT_FLOAT_EQ(f.planes[i].d, 1.0f) << "plane " << i;
    }
    for (const Float3& ray : f.cornerRays)
        EXPECT_NEAR(length(ray), 1.0f, 1e-6f);
}

TEST(ObbInFrustum, StraddlingOnePlaneButOutsideAnotherIsRejected)
{
    Frustum cube = extractFrustum(Matrix4{});
    // Crosses the left plane x = -1 but lies wholly beyond the far plane z = 1.
    auto beyondFar = boxCorners({-2, 0, 2}, {0, 0.5f, 3});
    EXPECT_FALSE(obbInFrustum(beyondFar.data(), cube));
    auto crossingLeft = boxCorners({-2, 0, 0}, {0, 0.5f, 0.5f});
    EXPECT_TRUE(obbInFrustum(crossingLeft.data(), cube));
}

TEST(ObbInFrustum, BoxSurroundingTheFrustumIsAccepted)
{
    Frustum cube = extractFrustum(Matrix4{});
    auto around = boxCorners({-5, -5, -5}, {5, 5, 5});
    EXPECT_TRUE(obbInFrustum(around.data(), cube));
}

TEST(MatrixProperties, InverseUndoesRandomTransforms)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> coord(-50.0f, 50.0f), unit(-1.0f, 1.0f), angle(-3.14f, 3.14f),
        scale(0.5f, 2.0f);
    for (int n = 0; n < 200; ++n) {
        Matrix4 m = composeTransform({coord(rng), coord(rng), coord(rng)},
                                     fromAxisAngle({unit(rng), unit(rng), unit(rng) + 1.5f}, angle(rng)),
                                     {scale(rng), scale(rng), scale(rng)});
        Matrix4 product = multiply(inverse(m), m);
        for (int i = 0; i < 16; ++i)
            ASSERT_NEAR(product[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-4f) << "element " << i;
    }
}

TEST(MatrixProperties, SingularMatrixInvertsToZeroInsteadOfInfinities)
{
    Matrix4 flat = composeTransform({1, 2, 3}, {}, {1, 0, 1});
    EXPECT_EQ(determinant(flat), 0.0f);
    for (float e : inverse(flat).m)
        EXPECT_EQ(e, 0.0f);
}

TEST(MatrixProperties, TransformMatchesQuaternionRotation)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f), angle(-3.14f, 3.14f);
    for (int n = 0; n < 200; ++n) {
        Quaternion q = fromAxisAngle({unit(rng), unit(rng) + 1.5f, unit(rng)}, angle(rng));
        Float3 v{unit(rng) * 10, unit(rng) * 10, unit(rng) * 10};
        Float3 r = rotate(q, v);
        ASSERT_NEAR(length(r), length(v), 1e-4f);
        Float3 viaMatrix = transformPoint(composeTransform({1, 2, 3}, q, {1, 1, 1}), v);
        expectNear(viaMatrix, r + Float3{1, 2, 3}, 1e-4f);
    }
}
