#include "SceneTestSupport.h"

#include "scene/InputControls.h"
#include "scene/RenderCamera.h"
#include "support/ScriptedInput.h"

#include <cmath>

using namespace Orvanta;
using OrvantaTest::expectNear;

namespace {

struct ControlsFixture : ::testing::Test {
    ControlsFixture()
    {
        setPlatformInput(&input);
        startMouseLook(mouse);
        camera.fieldOfView = 60.0f;
        camera.aspectRatio = 1.0f;
        camera.nearDistance = 0.1f;
        camera.farDistance = 100.0f;
    }
    ~ControlsFixture() override { setPlatformInput(nullptr); }

    Float3 forward() const { return rotate(camera.orientation, {0, 0, 1}); }

    void mouseStep()
    {
        handleMouse(mouse, [this] { ++panelRuns; });
    }

    ScriptedInput input;
    MouseLookState mouse;
    RenderCamera camera;
    int panelRuns = 0;
};

}  // namespace

TEST_F(ControlsFixture, ZeroElapsedTimeDoesNotMove)
{
    input.setKeyDown(Key::W, true);
    input.setKeyDown(Key::D, true);
    applyKeyboardAndLook(camera, mouse, 0.0f);
    expectNear(camera.position, {0, 0, 0});
}

TEST_F(ControlsFixture, ForwardAndRightTogetherMoveDiagonally)
{
    input.setKeyDown(Key::W, true);
    input.setKeyDown(Key::D, true);
    applyKeyboardAndLook(camera, mouse, 0.5f);
    // Forward is +z; the camera's right is world -x.
    expectNear(camera.position, {-1.5f, 0, 1.5f});
    EXPECT_NEAR(length(camera.position), std::sqrt(2.0f) * 3.0f * 0.5f, 1e-5f);
}

TEST_F(ControlsFixture, ArrowsMoveLikeLettersAndOppositeKeysCancel)
{
    input.setKeyDown(Key::Up, true);
    input.setKeyDown(Key::Left, true);
    applyKeyboardAndLook(camera, mouse, 1.0f);
    expectNear(camera.position, {3, 0, 3});
    input.setKeyDown(Key::S, true);
    input.setKeyDown(Key::Right, true);
    applyKeyboardAndLook(camera, mouse, 1.0f);
    expectNear(camera.position, {3, 0, 3}, 1e-4f);
}

TEST_F(ControlsFixture, MouseRightTurnsRightAndMouseDownLooksDown)
{
    mouse.mouseDeltaX = 100;
    applyKeyboardAndLook(camera, mouse, 0.0f);
    expectNear(forward(), {-std::sin(0.5f), 0, std::cos(0.5f)});

    mouse.mouseDeltaX = 0;
    mouse.mouseDeltaY = 60;
    applyKeyboardAndLook(camera, mouse, 0.0f);
    EXPECT_NEAR(forward().y, -std::sin(0.3f), 1e-5f);
    // Pitching about the camera's own right axis leaves that axis horizontal.
    Float3 right = normalize(cross(forward(), rotate(camera.orientation, {0, 1, 0})));
    EXPECT_NEAR(right.y, 0.0f, 1e-5f);
    // The matrices follow the new pose.
    expectNear(transformVector(camera.viewMatrix, forward()), {0, 0, -1}, 1e-5f);
}

TEST_F(ControlsFixture, DeltaIsMeasuredFromTheRecentringPoint)
{
    input.setCursorPosition(310, 295);
    mouseStep();
    EXPECT_EQ(mouse.mouseDeltaX, 10);
    EXPECT_EQ(mouse.mouseDeltaY, -5);
    int x = 0, y = 0;
    input.cursorPosition(x, y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 300);
    mouseStep();
    EXPECT_EQ(mouse.mouseDeltaX, 0);
    EXPECT_EQ(panelRuns, 0);
}

TEST_F(ControlsFixture, HeldF1TogglesOnceAndUiModeRunsThePanel)
{
    input.setKeyDown(Key::F1, true);
    for (int frame = 0; frame < 10; ++frame)
        mouseStep();
    EXPECT_TRUE(mouse.uiMode);
    EXPECT_TRUE(input.cursorVisible());
    EXPECT_EQ(panelRuns, 10);

    input.setCursorPosition(500, 400);
    mouseStep();
    EXPECT_EQ(mouse.mouseDeltaX, 0);
    EXPECT_EQ(mouse.mouseDeltaY, 0);
}

TEST_F(ControlsFixture, LeavingUiModeRecentresSoTheViewDoesNotJump)
{
    input.tapKey(Key::F1);
    mouseStep();
    mouseStep();  // F1 released: the next press counts again
    ASSERT_TRUE(mouse.uiMode);
    input.setCursorPosition(520, 410);
    input.tapKey(Key::F1);
    mouseStep();
    EXPECT_FALSE(mouse.uiMode);
    EXPECT_FALSE(input.cursorVisible());
    EXPECT_EQ(mouse.mouseDeltaX, 0);
    EXPECT_EQ(mouse.mouseDeltaY, 0);
}
