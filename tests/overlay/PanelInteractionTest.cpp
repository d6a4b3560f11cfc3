// The panel's controls driven by scripted mouse input, without drawing.
#include "overlay/PanelInteraction.h"
#include "overlay/ControlPanel.h"
#include "overlay/FrameCounter.h"
#include "support/ScriptedInput.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

// Installs the scripted input before the panel is made (making it moves and hides the cursor).
struct InstalledInput {
    explicit InstalledInput(ScriptedInput& input) { setPlatformInput(&input); }
    ~InstalledInput() { setPlatformInput(nullptr); }
};

struct PanelFixture : ::testing::Test {
    PanelFixture() { buildPanelControls(panel, -0.3454f, -0.80855f); }

    // One UI-mode mouse step with the cursor at (x, y) and the button down or up.
    bool frame(int x, int y, bool buttonDown)
    {
        input.setCursorPosition(x, y);
        input.setKeyDown(Key::LeftButton, buttonDown);
        return operatePanel(panel);
    }
    void click(int x, int y)
    {
        frame(x, y, true);
        frame(x, y, false);
    }
    std::vector<bool> boxes() const
    {
        std::vector<bool> states;
        for (const CheckBox& box : panel.checkBoxes)
            states.push_back(box.isOn);
        return states;
    }

    ScriptedInput input;
    InstalledInput installed{input};
    ControlPanel panel;
};

}  // namespace

TEST_F(PanelFixture, PanelStartsWithTheSunsValuesAndEveryFeatureOn)
{
    ASSERT_EQ(panel.sliders.size(), 2u);
    ASSERT_EQ(panel.checkBoxes.size(), static_cast<size_t>(FeatureSwitchCount));
    EXPECT_FLOAT_EQ(panel.sliders[0].value, -0.3454f);
    EXPECT_FLOAT_EQ(panel.sliders[1].value, -0.80855f);
    for (int i = 0; i < FeatureSwitchCount; ++i)
        EXPECT_TRUE(panel.featureOn(static_cast<FeatureSwitch>(i))) << featureSwitchName(i);
    // Knob of the time-of-day slider: 200 + trunc((-0.3454 + 2.07) / 4.14 * 400) = 366.
    EXPECT_EQ(knobX(panel.sliders[0]), 366);
    // Creating the panel hid the cursor and put it at the recentring point.
    int x = 0, y = 0;
    input.cursorPosition(x, y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 300);
    EXPECT_FALSE(input.cursorVisible());
}

TEST_F(PanelFixture, ClickTogglesABoxOnceHoweverLongTheButtonStaysDown)
{
    for (int i = 0; i < 20; ++i)
        frame(210, 120, true);
    EXPECT_FALSE(panel.checkBoxes[DirectLighting].isOn);
    frame(210, 120, false);
    click(200, 130);  // the hit area's corner still counts
    EXPECT_TRUE(panel.checkBoxes[DirectLighting].isOn);
    // Just outside the box's area in x and in y: nothing toggles.
    click(221, 120);
    click(210, 131);
    click(199, 120);
    EXPECT_EQ(boxes(), std::vector<bool>(FeatureSwitchCount, true));
}

TEST_F(PanelFixture, LightPropagationBoxCarriesBothPropagationBoxes)
{
    click(210, 200);  // box 2 off
    EXPECT_EQ(boxes(), (std::vector<bool>{true, true, false, false, false, true, true}));
    click(250, 240);  // box 3 alone: box 2 stays off
    EXPECT_EQ(boxes(), (std::vector<bool>{true, true, false, true, false, true, true}));
    click(210, 200);  // box 2 on sets both dependents on
    EXPECT_EQ(boxes(), std::vector<bool>(FeatureSwitchCount, true));
    click(250, 280);  // box 4 alone off, box 2 untouched
    EXPECT_EQ(boxes(), (std::vector<bool>{true, true, true, true, false, true, true}));

    // Setting a switch directly follows the same rule as the click.
    panel.setFeature(LightPropagationVolumes, false);
    EXPECT_FALSE(panel.featureOn(PropagateSunLighting));
    EXPECT_FALSE(panel.featureOn(PropagateSkyLighting));
    panel.setFeature(LightPropagationVolumes, true);
    EXPECT_TRUE(panel.featureOn(PropagateSkyLighting));
    panel.setFeature(Ssao, false);
    EXPECT_EQ(boxes(), (std::vector<bool>{true, true, true, true, true, false, true}));
}

TEST_F(PanelFixture, DraggingPastEitherEndPinsTheValue)
{
    Slider& time = panel.sliders[0];
    int knob = knobX(time);
    // The press picks the slider; the value changes from the next frame on.
    EXPECT_FALSE(frame(knob + 5, 40 - 15, true));
    EXPECT_FLOAT_EQ(time.value, -0.3454f);
    EXPECT_TRUE(frame(1000, 300, true));
    EXPECT_FLOAT_EQ(time.value, 2.07f);
    EXPECT_TRUE(frame(400, 5, true));
    EXPECT_NEAR(time.value, 0.0f, 1e-6f);
    EXPECT_TRUE(frame(0, 40, true));
    EXPECT_FLOAT_EQ(time.value, -2.07f);
    // A cursor on a monitor left of the primary one has a negative x: still the minimum.
    EXPECT_TRUE(frame(-40, 40, true));
    EXPECT_FLOAT_EQ(time.value, -2.07f);
    EXPECT_FLOAT_EQ(panel.sliders[1].value, -0.80855f);
    // Release ends the drag.
    EXPECT_FALSE(frame(500, 40, false));
    EXPECT_FALSE(frame(500, 40, true));
    EXPECT_FLOAT_EQ(time.value, -2.07f);
}

TEST_F(PanelFixture, DragOverCheckBoxesDoesNotToggleThem)
{
    int knob = knobX(panel.sliders[1]);
    frame(knob, 80, true);
    frame(210, 120, true);
    frame(210, 200, true);
    EXPECT_EQ(boxes(), std::vector<bool>(FeatureSwitchCount, true));
    // 10 pixels along the 400-pixel track from -1.57 to 1.57.
    EXPECT_NEAR(panel.sliders[1].value, -1.57f + 3.14f * 10.0f / 400.0f, 1e-5f);
}

TEST_F(PanelFixture, PressStartingOffTheKnobDoesNotDragWhenMovedOntoIt)
{
    int knob = knobX(panel.sliders[0]);
    EXPECT_FALSE(frame(knob + 6, 40, true));
    EXPECT_FALSE(frame(knob, 40, true));
    EXPECT_FALSE(frame(knob + 100, 40, true));
    EXPECT_FLOAT_EQ(panel.sliders[0].value, -0.3454f);
    EXPECT_FALSE(frame(knob, 56, false));
    EXPECT_FALSE(frame(knob, 56, true));  // 16 below the track: also off the knob
    EXPECT_FALSE(frame(knob + 100, 40, true));
    EXPECT_FLOAT_EQ(panel.sliders[0].value, -0.3454f);
}

TEST(FrameCounter, ShowsZeroUntilTheFirstSecondEndsThenTheFramesOfThatSecond)
{
    FrameCounter counter;
    uint32_t now = 5000;
    for (int i = 0; i < 99; ++i, now += 10)
        EXPECT_EQ(countFrame(counter, now), "0");
    // 990 ms after the first update: still the first second.
    EXPECT_EQ(now, 5990u);
    EXPECT_EQ(countFrame(counter, now), "0");
    EXPECT_EQ(countFrame(counter, 6000), "100");
    EXPECT_EQ(countFrame(counter, 6999), "100");
    EXPECT_EQ(countFrame(counter, 7000), "2");
}

TEST(FrameCounter, SecondsAreMeasuredAcrossATickCounterWrap)
{
    FrameCounter counter;
    countFrame(counter, 0xFFFFFF00u);
    countFrame(counter, 0xFFFFFFF0u);
    // 0x100 + 0x10 = 272 ms later, not a negative or huge interval.
    EXPECT_EQ(countFrame(counter, 0x10u), "0");
    EXPECT_EQ(countFrame(counter, 0xFFFFFF00u + 1000u), "3");
}
