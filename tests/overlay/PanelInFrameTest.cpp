// The panel inside the running frame: the demo's mouse step drives it, the renderer follows.
#include "OverlayTestWorld.h"

#include "overlay/PanelInteraction.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "renderer/GlStateCheck.h"
#include "scene/Light.h"
#include "support/RendererTestAccess.h"

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

struct PanelInFrame : OverlayFixture {
    // One iteration's mouse step with the cursor at (x, y) and the left button down or up.
    void mouseStep(int x, int y, bool buttonDown)
    {
        input.setCursorPosition(x, y);
        input.setKeyDown(Key::LeftButton, buttonDown);
        handleMouse(*panel, *renderer);
    }
    void enterUiMode()
    {
        input.tapKey(Key::F1);
        handleMouse(*panel, *renderer);
        ASSERT_TRUE(panel->mouse.uiMode);
    }
    std::vector<uint8_t> frame()
    {
        frameTimer().elapsedSeconds = 0.0f;
        renderer->renderFrame();
        return windowPixels();
    }
    float skyMapBlue()
    {
        float texel[3] = {0, 0, 0};
        glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::skySet(*renderer).skyMap.framebufferId);
        glReadPixels(128, 200, 1, 1, GL_RGB, GL_FLOAT, texel);
        glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*renderer));
        return texel[2];
    }
};

}  // namespace

TEST_F(PanelInFrame, HeldF1TogglesOnceAndLeavingUiModeRecentresTheCursor)
{
    input.setKeyDown(Key::F1, true);
    for (int i = 0; i < 30; ++i)
        mouseStep(500, 120, false);
    EXPECT_TRUE(panel->mouse.uiMode);
    EXPECT_TRUE(input.cursorVisible());
    input.setKeyDown(Key::F1, false);
    mouseStep(500, 120, false);
    input.setKeyDown(Key::F1, true);
    mouseStep(500, 120, false);
    EXPECT_FALSE(panel->mouse.uiMode);
    EXPECT_FALSE(input.cursorVisible());
    // The first look-mode delta is measured from the recentring point: no jump.
    EXPECT_EQ(panel->mouse.mouseDeltaX, 0);
    EXPECT_EQ(panel->mouse.mouseDeltaY, 0);
    input.setKeyDown(Key::F1, false);
    mouseStep(300, 300, false);
    EXPECT_EQ(panel->mouse.mouseDeltaX, 0);
}

TEST_F(PanelInFrame, ClickingTheDirectLightingBoxSwitchesTheRenderersFeature)
{
    // In look mode the button does nothing to the panel.
    mouseStep(210, 120, true);
    mouseStep(210, 120, false);
    EXPECT_TRUE(renderer->featureOn(DirectLighting));
    enterUiMode();
    // The look-mode press is still latched: the first UI-mode step takes it as a press at the
    // recentred cursor (300, 300), on no control. The next step sees the button up.
    mouseStep(210, 120, false);
    EXPECT_TRUE(renderer->featureOn(DirectLighting));
    mouseStep(210, 120, true);
    mouseStep(210, 120, true);
    EXPECT_FALSE(renderer->featureOn(DirectLighting));
    mouseStep(210, 120, false);
    mouseStep(210, 120, true);
    EXPECT_TRUE(renderer->featureOn(DirectLighting));
    // The renderer's setter is the same click.
    renderer->setFeature(LightPropagationVolumes, false);
    EXPECT_FALSE(panel->checkBoxes[PropagateSkyLighting].isOn);
    EXPECT_FALSE(renderer->featureOn(PropagateSunLighting));
}

TEST_F(PanelInFrame, SliderDragMovesTheSunAndTheNextFramesSkyMap)
{
    frame();
    float skyBefore = skyMapBlue();
    Float3 sunBefore = renderer->sun()->direction;
    ASSERT_FALSE(RendererTestAccess::skySet(*renderer).updateFlag);
    enterUiMode();
    int knob = knobX(panel->sliders[timeOfDaySlider]);
    mouseStep(knob, 40, true);
    EXPECT_FALSE(RendererTestAccess::skySet(*renderer).updateFlag) << "the press alone moves nothing";
    mouseStep(knob + 160, 300, true);
    float value = panel->sliders[timeOfDaySlider].value;
    EXPECT_NEAR(value, -0.3454f + 160.0f / 400.0f * 4.14f, 0.02f);
    EXPECT_FLOAT_EQ(renderer->sun()->timeOfDay, value);
    EXPECT_FLOAT_EQ(renderer->sun()->inclination, panel->sliders[sunInclinationSlider].value);
    EXPECT_GT(length(renderer->sun()->direction - sunBefore), 0.1f);
    EXPECT_TRUE(RendererTestAccess::skySet(*renderer).updateFlag);
    frame();
    EXPECT_FALSE(RendererTestAccess::skySet(*renderer).updateFlag);
    EXPECT_NE(skyMapBlue(), skyBefore);
    // Holding still keeps moving the sun to the same place (every frame of a drag counts).
    mouseStep(knob + 160, 300, true);
    EXPECT_TRUE(RendererTestAccess::skySet(*renderer).updateFlag);
    mouseStep(knob + 160, 300, false);
    renderer->moveSun(-0.3454f, -0.80855f);
    frame();
}

TEST_F(PanelInFrame, FrameEndsWithThePanelOverTheToneMappedImage)
{
    renderer->attachOverlay(nullptr);
    std::vector<uint8_t> plain = frame();
    renderer->attachOverlay(panel.get());
    int errors = glErrorTotal();
    int violations = conventionViolationTotal();
    std::vector<uint8_t> lookMode = frame();
    enterUiMode();
    std::vector<uint8_t> uiMode = frame();
    EXPECT_EQ(glErrorTotal(), errors);
    EXPECT_EQ(conventionViolationTotal(), violations);

    const int outside[][2] = {{630, 10}, {300, 410}, {639, 419}};
    for (auto& p : outside)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(lookMode[(p[1] * overlayWidth + p[0]) * 4 + c], plain[(p[1] * overlayWidth + p[0]) * 4 + c]);
            EXPECT_EQ(uiMode[(p[1] * overlayWidth + p[0]) * 4 + c], plain[(p[1] * overlayWidth + p[0]) * 4 + c]);
        }
    const uint8_t* below = pixelAt(plain, 400, 300);
    const uint8_t* above = pixelAt(uiMode, 400, 300);
    EXPECT_NEAR(above[0], 0.36 * 255 + 0.4 * below[0], 1.5);
    EXPECT_NEAR(above[2], 0.4 * below[2], 1.5);
    // In look mode the panel's area below the hint is the plain frame.
    EXPECT_EQ(pixelAt(lookMode, 400, 300)[0], below[0]);
}

TEST_F(PanelInFrame, WithoutAPanelEveryFeatureIsOnAndSettingOneIsReported)
{
    renderer->attachFeatureSwitches(nullptr);
    std::string logged;
    setLogSink([&logged](const std::string& message) { logged += message + "\n"; });
    renderer->setFeature(Ssao, false);
    setLogSink({});
    for (int i = 0; i < FeatureSwitchCount; ++i)
        EXPECT_TRUE(renderer->featureOn(static_cast<FeatureSwitch>(i)));
    EXPECT_NE(logged.find("SSAO"), std::string::npos) << logged;
    EXPECT_NE(logged.find("no control panel"), std::string::npos) << logged;
    // The panel itself was not touched.
    EXPECT_TRUE(panel->checkBoxes[Ssao].isOn);
}
