#include "scene/RenderCamera.h"
#include "scene/Scene.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace Orvanta;

namespace {

bool registered(const SceneView* view)
{
    const auto& views = scene().views;
    return std::find(views.begin(), views.end(), view) != views.end();
}

// Distinct non-null instance pointers; the view never dereferences them.
ObjectInstance* fakeInstance(uintptr_t n)
{
    return reinterpret_cast<ObjectInstance*>((n + 1) * 16);
}

struct CapturedLog {
    CapturedLog()
    {
        setLogSink([this](const std::string& m) { messages.push_back(m); });
    }
    ~CapturedLog() { setLogSink({}); }
    std::vector<std::string> messages;
};

}  // namespace

TEST(SceneView, RegistersInOrderAndLeavesTheSceneWhenDestroyed)
{
    Camera camera;
    auto first = std::make_unique<SceneView>(&camera);
    auto second = std::make_unique<SceneView>(&camera);
    auto& views = scene().views;
    auto at = std::find(views.begin(), views.end(), first.get());
    ASSERT_NE(at, views.end());
    ASSERT_NE(at + 1, views.end());
    EXPECT_EQ(*(at + 1), second.get());
    EXPECT_EQ(first->camera, &camera);
    EXPECT_EQ(first->visibleCount, 0u);

    SceneView* gone = first.get();
    first.reset();
    EXPECT_FALSE(registered(gone));
    EXPECT_TRUE(registered(second.get()));
}

TEST(SceneView, RenderCameraCullsWithItself)
{
    RenderCamera camera;
    EXPECT_EQ(camera.camera, static_cast<Camera*>(&camera));
    EXPECT_TRUE(registered(&camera));
}

TEST(SceneView, FullVisibleSetLeavesInstancesOutAndReportsOnce)
{
    CapturedLog log;
    Camera camera;
    SceneView view(&camera);
    for (uintptr_t i = 0; i < SceneView::maxVisibleObjects; ++i)
        ASSERT_TRUE(view.addVisible(fakeInstance(i)));
    EXPECT_FALSE(view.addVisible(fakeInstance(5000)));
    EXPECT_FALSE(view.addVisible(fakeInstance(5001)));
    EXPECT_EQ(view.visibleCount, SceneView::maxVisibleObjects);
    EXPECT_EQ(view.visibleObjects[999], fakeInstance(999));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find("1000"), std::string::npos);

    // Still reported only once on the next frame.
    view.clearVisibleSets();
    EXPECT_EQ(view.visibleCount, 0u);
    for (uintptr_t i = 0; i <= SceneView::maxVisibleObjects; ++i)
        view.addVisible(fakeInstance(i));
    EXPECT_EQ(log.messages.size(), 1u);
}

TEST(SceneView, FullRaytracedSetLeavesInstancesOutAndReportsOnce)
{
    CapturedLog log;
    Camera camera;
    SceneView view(&camera);
    for (uintptr_t i = 0; i < 102; ++i)
        view.addRaytraced(fakeInstance(i));
    EXPECT_EQ(view.raytracedCount, SceneView::maxRaytracedObjects);
    EXPECT_EQ(view.raytracedObjects[99], fakeInstance(99));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find("ray-traced"), std::string::npos);
}
