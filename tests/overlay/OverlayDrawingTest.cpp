// The overlay drawn on the headless window and read back.
#include "OverlayTestWorld.h"

#include "overlay/OverlayLayout.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/GlStateCheck.h"
#include "support/RendererTestAccess.h"

#include <array>
#include <cmath>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

// The colour the tests clear the window to, as bytes: (0.2, 0.4, 0.8).
constexpr uint8_t clearBytes[3] = {51, 102, 204};

bool isClearColour(const uint8_t* p)
{
    return p[0] == clearBytes[0] && p[1] == clearBytes[1] && p[2] == clearBytes[2];
}

// Pixels inside [x0, x1) x [y0, y1) that differ from the clear colour.
int changedPixels(const std::vector<uint8_t>& rgba, int x0, int y0, int x1, int y1)
{
    int changed = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            changed += isClearColour(pixelAt(rgba, x, y)) ? 0 : 1;
    return changed;
}

// The panel background (0.6, 0.6, 0, alpha 0.6) blended over a byte colour.
std::array<double, 3> overPanelBackground(const uint8_t* below)
{
    return {0.6 * 0.6 * 255 + 0.4 * below[0], 0.6 * 0.6 * 255 + 0.4 * below[1], 0.4 * below[2]};
}

void expectBlendedPanel(const uint8_t* p, const uint8_t* below, const char* where)
{
    std::array<double, 3> expected = overPanelBackground(below);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(p[c], expected[static_cast<size_t>(c)], 1.5) << where << " channel " << c;
}

// The GL state a pass could leave changed, compared whole.
struct GlStateSnapshot {
    std::array<GLboolean, 6> enabled{};
    std::array<GLint, 8> values{};
    std::array<GLfloat, 4> colour{};
    std::array<GLfloat, 32> matrices{};

    static GlStateSnapshot take()
    {
        GlStateSnapshot s;
        const GLenum caps[6] = {GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE, GL_TEXTURE_2D, GL_TEXTURE_3D, GL_STENCIL_TEST};
        for (size_t i = 0; i < 6; ++i)
            s.enabled[i] = glIsEnabled(caps[i]);
        const GLenum queries[8] = {GL_DEPTH_FUNC,    GL_DEPTH_WRITEMASK,       GL_BLEND_SRC_RGB,
                                   GL_BLEND_DST_RGB, GL_ACTIVE_TEXTURE,        GL_TEXTURE_BINDING_2D,
                                   GL_MATRIX_MODE,   GL_PROJECTION_STACK_DEPTH};
        for (size_t i = 0; i < 8; ++i)
            glGetIntegerv(queries[i], &s.values[i]);
        glGetFloatv(GL_CURRENT_COLOR, s.colour.data());
        glGetFloatv(GL_PROJECTION_MATRIX, s.matrices.data());
        glGetFloatv(GL_MODELVIEW_MATRIX, s.matrices.data() + 16);
        return s;
    }
    bool operator==(const GlStateSnapshot&) const = default;
};

}  // namespace

TEST_F(OverlayFixture, LookModeDrawsTheHintOverItsRectangleAndNothingElse)
{
    clearWindow(0.2f, 0.4f, 0.8f);
    drawOverlay();
    std::vector<uint8_t> pixels = windowPixels();
    EXPECT_EQ(changedPixels(pixels, 256, 0, overlayWidth, overlayHeight), 0);
    EXPECT_EQ(changedPixels(pixels, 0, 32, 256, overlayHeight), 0);
    // The hint's text changes a good part of its rectangle, not all of it (the image is
    // transparent between the letters).
    int hint = changedPixels(pixels, 0, 0, 256, 32);
    EXPECT_GT(hint, 256 * 32 / 20);
    EXPECT_LT(hint, 256 * 32 * 3 / 4);
    // The text reads left to right from the left edge: its first column is near x 0.
    EXPECT_GT(changedPixels(pixels, 0, 0, 24, 32), 0);
}

TEST_F(OverlayFixture, UiModeBlendsThePanelOverTheFrameInsideItsRectangleOnly)
{
    panel->mouse.uiMode = true;
    clearWindow(0.2f, 0.4f, 0.8f);
    drawOverlay();
    std::vector<uint8_t> pixels = windowPixels();
    // Background only (no control, label or counter there).
    expectBlendedPanel(pixelAt(pixels, 400, 300), clearBytes, "(400, 300)");
    expectBlendedPanel(pixelAt(pixels, 5, 5), clearBytes, "(5, 5)");
    expectBlendedPanel(pixelAt(pixels, 610, 390), clearBytes, "(610, 390)");
    // Every pixel inside the panel changed; outside it none did. The orthographic projection maps
    // pixel 620 (400) to just before the next column (row), so one more column and row are the
    // panel's right and bottom edges.
    EXPECT_EQ(changedPixels(pixels, 0, 0, 620, 400), 620 * 400);
    EXPECT_EQ(changedPixels(pixels, 622, 0, overlayWidth, overlayHeight), 0);
    EXPECT_EQ(changedPixels(pixels, 0, 402, overlayWidth, overlayHeight), 0);
    // The outline is opaque yellow along the left edge (the line at x 1 lands in column 0 or 1,
    // as the driver's line rule decides) and along the right one.
    auto yellow = [](const uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 0; };
    EXPECT_TRUE(yellow(pixelAt(pixels, 0, 200)) || yellow(pixelAt(pixels, 1, 200)));
    EXPECT_TRUE(yellow(pixelAt(pixels, 620, 200)));
    EXPECT_TRUE(yellow(pixelAt(pixels, 300, 400)));
}

TEST_F(OverlayFixture, BoxesThatAreOnShowTheCheckMark)
{
    panel->mouse.uiMode = true;
    panel->setFeature(DirectLighting, false);
    clearWindow(0.2f, 0.4f, 0.8f);
    drawOverlay();
    std::vector<uint8_t> pixels = windowPixels();
    // Inside box 0's outline (200, 112)-(216, 128): plain panel background when off.
    for (int y = 114; y < 127; ++y)
        for (int x = 202; x < 215; ++x)
            expectBlendedPanel(pixelAt(pixels, x, y), clearBytes, "inside an empty box");
    // Box 1 is on: its check mark lights part of the inside.
    int marked = 0;
    for (int y = 154; y < 167; ++y)
        for (int x = 202; x < 215; ++x)
            marked += pixelAt(pixels, x, y)[2] > 150 ? 1 : 0;
    EXPECT_GT(marked, 10);
    // The outline of the empty box is there: opaque yellow on its left edge.
    const uint8_t* outline = pixelAt(pixels, 200, 120);
    EXPECT_EQ(outline[0], 255);
    EXPECT_EQ(outline[2], 0);
}

TEST_F(OverlayFixture, SliderKnobIsDrawnWhereItsValuePutsIt)
{
    panel->mouse.uiMode = true;
    panel->sliders[0].value = 0.0f;  // knob at x 400
    clearWindow(0.2f, 0.4f, 0.8f);
    drawOverlay();
    std::vector<uint8_t> pixels = windowPixels();
    // The knob (395, 28)-(405, 52) adds its translucent yellow above the track; beside it the
    // background alone.
    const uint8_t* onKnob = pixelAt(pixels, 400, 33);
    const uint8_t* beside = pixelAt(pixels, 420, 33);
    expectBlendedPanel(beside, clearBytes, "beside the knob");
    EXPECT_GT(onKnob[0], beside[0] + 20);
    EXPECT_LT(onKnob[2], beside[2]);
}

TEST_F(OverlayFixture, OverlayLeavesTheGlStateAsItFoundIt)
{
    Renderer& r = *renderer;
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(r));
    RendererTestAccess::loadViewMatrices(r);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(0.5f, 0.25f, 1.0f, 1.0f);
    int errors = glErrorTotal();
    for (bool ui : {false, true}) {
        panel->mouse.uiMode = ui;
        GlStateSnapshot before = GlStateSnapshot::take();
        drawOverlay();
        EXPECT_TRUE(GlStateSnapshot::take() == before) << (ui ? "UI mode" : "look mode");
        EXPECT_EQ(conventionStateDifferences(), "");
        EXPECT_EQ(RendererTestAccess::textureUnitTable(r).entry(0), nullptr);
    }
    checkGlErrors("overlay test");
    EXPECT_EQ(glErrorTotal(), errors);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
}

TEST_F(OverlayFixture, CounterCountsUiModeFramesOnlyAndDrawsOneDigitPerCharacter)
{
    input.setTicks(10000);
    for (int i = 0; i < 5; ++i) {
        drawOverlay();  // look mode: not counted
        input.advanceTicks(400);
    }
    EXPECT_FALSE(panel->frameCounter.started);
    panel->mouse.uiMode = true;
    drawOverlay();
    EXPECT_EQ(panel->frameCounter.displayedFps, 0u);
    EXPECT_EQ(panel->frameCounter.framesThisSecond, 1u);

    std::vector<OverlayItem> items = uiModeItems(*panel, "99");
    std::vector<float> nineAt;
    for (const OverlayItem& item : items) {
        if (item.kind == OverlayItem::TexturedQuad && item.texture == panel->digitTextures[9]) {
            nineAt.push_back(item.x0);
            EXPECT_EQ(item.x1 - item.x0, 12.0f);
            EXPECT_EQ(item.y0, 352.0f);
            EXPECT_EQ(item.y1, 368.0f);
        }
    }
    EXPECT_EQ(nineAt, (std::vector<float>{540.0f, 553.0f}));
    ASSERT_NE(panel->digitTextures[9], panel->digitTextures[0]);
    // The counter is the last thing drawn: the "FPS" image, then the digits.
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[items.size() - 3].texture, panel->fpsTexture);
    EXPECT_EQ(items[items.size() - 3].x0, 480.0f);
}
