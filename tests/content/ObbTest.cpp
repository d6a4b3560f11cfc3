#include "content/Object.h"
#include "content/ObjectInstance.h"

#include "../scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;
using OrvantaTest::expectNear;

namespace {

Object boxObject(Float3 lo, Float3 hi)
{
    Object object;
    object.minCorner = lo;
    object.maxCorner = hi;
    return object;
}

}  // namespace

TEST(OBB, CornersFollowTheEngineOrderAndStartZeroInWorld)
{
    OBB box({-1, -2, -3}, {4, 5, 6});
    auto expected = OrvantaTest::boxCorners({-1, -2, -3}, {4, 5, 6});
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(box.localCorners[i], expected[i]) << i;
        EXPECT_EQ(box.worldCorners[i], (Float3{})) << i;
    }
}

TEST(OBB, CopyKeepsEntityStateAndBothCornerSets)
{
    Object object = boxObject({0, 0, 0}, {1, 1, 1});
    ObjectInstance instance(&object, {5, 0, 0}, {1, 1, 1}, {});
    OBB copy = instance.obb;
    EXPECT_EQ(copy.parent, &instance);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(copy.localCorners[i], instance.obb.localCorners[i]);
        EXPECT_EQ(copy.worldCorners[i], instance.obb.worldCorners[i]);
    }
}

TEST(ObjectInstance, BoxIsTheOnlyChildAndSharesTheWorldMatrix)
{
    Object object = boxObject({-1, -1, -1}, {1, 1, 1});
    ObjectInstance instance(&object, {1, 2, 3}, {2, 3, 4}, fromAxisAngle({0, 1, 0}, 0.7f));
    ASSERT_EQ(instance.children.size(), 1u);
    EXPECT_EQ(instance.children[0], &instance.obb);
    EXPECT_EQ(instance.obb.parent, &instance);
    EXPECT_EQ(instance.object, &object);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(instance.obb.worldMatrix[i], instance.worldMatrix[i], 1e-6f) << i;
}

TEST(ObjectInstance, UnrotatedWorldCornersAreLocalCornersPlusPosition)
{
    Object object = boxObject({-1, -2, -3}, {4, 5, 6});
    Float3 p{10, -20, 30};
    ObjectInstance instance(&object, p, {1, 1, 1}, {});
    for (int i = 0; i < 8; ++i)
        expectNear(instance.obb.worldCorners[i], instance.obb.localCorners[i] + p);
}

TEST(ObjectInstance, RotatedAndScaledCornersFollowTheInstance)
{
    Object object = boxObject({0, 0, 0}, {1, 1, 1});
    // A quarter turn about +y takes +x to -z.
    ObjectInstance instance(&object, {0, 0, 0}, {2, 1, 1}, fromAxisAngle({0, 1, 0}, float(M_PI / 2)));
    expectNear(instance.obb.worldCorners[1], {0, 0, -2});  // (max.x, min.y, min.z) scaled by 2
    expectNear(instance.obb.worldCorners[3], {1, 0, 0});   // (min.x, min.y, max.z)
    expectNear(instance.obb.worldCorners[6], {1, 1, -2});
}

TEST(ObjectInstance, MovingTheInstanceRefreshesTheBox)
{
    Object object = boxObject({0, 0, 0}, {1, 1, 1});
    ObjectInstance instance(&object, {0, 0, 0}, {1, 1, 1}, {});
    instance.setPosition({0, 7, 0});
    instance.updateTransform();
    expectNear(instance.obb.worldCorners[0], {0, 7, 0});
    expectNear(instance.obb.worldCorners[6], {1, 8, 1});
}
