#include "app/MainLoop.h"
#include "platform/FrameTimer.h"
#include "support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Orvanta;

namespace {

// Records the order of the steps and the elapsed time each keyboard step saw.
class RecordingSteps final : public MainLoopSteps {
public:
    RecordingSteps(ScriptedInput& in, FrameTimer& t) : input(in), timer(t) {}

    std::vector<std::string> calls;
    std::vector<float> elapsedSeen;
    int renders = 0;
    int escapeAfterIterations = -1;  // press Escape during this iteration's updates
    int closeAfterRenders = -1;
    uint32_t tickStep = 16;
    int iteration = 0;

    uint32_t ticks() override
    {
        uint32_t value = input.ticks();
        input.advanceTicks(tickStep);
        return value;
    }
    void applyKeyboardControls() override
    {
        calls.push_back("controls");
        elapsedSeen.push_back(timer.elapsedSeconds);
        if (iteration++ == escapeAfterIterations)
            input.setKeyDown(Key::Escape, true);
    }
    void updateVisibleSets() override { calls.push_back("visibility"); }
    void handleMouse() override { calls.push_back("mouse"); }
    void updateAudio() override { calls.push_back("audio"); }
    bool escapePressed() override
    {
        calls.push_back("escape");
        return input.queryKey(Key::Escape);
    }
    void renderFrame() override
    {
        calls.push_back("render");
        ++renders;
        if (renders == closeAfterRenders)
            input.requestClose();
    }
    bool pumpMessages() override
    {
        calls.push_back("pump");
        return input.pumpMessages();
    }

private:
    ScriptedInput& input;
    FrameTimer& timer;
};

}  // namespace

TEST(FrameTimer, UnsignedDifferenceSurvivesTickWrap)
{
    EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(1000, 1016), 0.016f);
    // 10 ms before the wrap to 6 ms after it is 16 ms, not minus 4 billion.
    EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(0xFFFFFFF6u, 6u), 0.016f);
    EXPECT_FLOAT_EQ(FrameTimer::secondsBetween(5, 5), 0.0f);
}

TEST(MainLoop, StepsRunInOrderAndFirstIterationSeesZeroElapsed)
{
    ScriptedInput input;
    FrameTimer timer;
    timer.elapsedSeconds = 42.0f;  // leftovers must not leak into the first iteration
    RecordingSteps steps(input, timer);
    steps.escapeAfterIterations = 2;
    EXPECT_EQ(runMainLoop(steps, timer), 0);

    ASSERT_EQ(steps.elapsedSeen.size(), 3u);
    EXPECT_EQ(steps.elapsedSeen[0], 0.0f);
    EXPECT_FLOAT_EQ(steps.elapsedSeen[1], 0.016f);
    EXPECT_FLOAT_EQ(steps.elapsedSeen[2], 0.016f);
    std::vector<std::string> firstIteration(steps.calls.begin(), steps.calls.begin() + 7);
    EXPECT_EQ(firstIteration,
              (std::vector<std::string>{"controls", "visibility", "mouse", "audio", "escape", "render", "pump"}));
}

TEST(MainLoop, EscapeEndsAfterTheUpdatesAndBeforeRendering)
{
    ScriptedInput input;
    FrameTimer timer;
    RecordingSteps steps(input, timer);
    steps.escapeAfterIterations = 0;
    EXPECT_EQ(runMainLoop(steps, timer), 0);
    EXPECT_EQ(steps.renders, 0);
    EXPECT_EQ(steps.calls, (std::vector<std::string>{"controls", "visibility", "mouse", "audio", "escape"}));
}

TEST(MainLoop, WindowClosedByOtherMeansEndsTheLoop)
{
    ScriptedInput input;
    FrameTimer timer;
    RecordingSteps steps(input, timer);
    steps.closeAfterRenders = 3;
    EXPECT_EQ(runMainLoop(steps, timer), 0);
    EXPECT_EQ(steps.renders, 3);
    EXPECT_EQ(steps.calls.back(), "pump");
}

TEST(MainLoop, TickWrapDuringTheLoopGivesTheSmallTrueInterval)
{
    ScriptedInput input;
    input.setTicks(0xFFFFFFF0u);
    FrameTimer timer;
    RecordingSteps steps(input, timer);
    steps.tickStep = 20;
    steps.escapeAfterIterations = 3;
    runMainLoop(steps, timer);
    for (size_t i = 1; i < steps.elapsedSeen.size(); ++i)
        EXPECT_FLOAT_EQ(steps.elapsedSeen[i], 0.020f) << "iteration " << i;
}

TEST(ScriptedInput, PressedAndReleasedBetweenQueriesCountsOnce)
{
    ScriptedInput input;
    input.setKeyDown(Key::F1, true);
    input.setKeyDown(Key::F1, false);
    EXPECT_TRUE(input.queryKey(Key::F1));
    EXPECT_FALSE(input.queryKey(Key::F1));
    // Held keys read as down on every query; other keys' latches are untouched.
    input.setKeyDown(Key::W, true);
    input.tapKey(Key::A);
    EXPECT_TRUE(input.queryKey(Key::W));
    EXPECT_TRUE(input.queryKey(Key::W));
    EXPECT_TRUE(input.queryKey(Key::A));
    EXPECT_FALSE(input.queryKey(Key::A));
}
