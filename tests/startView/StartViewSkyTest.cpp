// The demo as it starts, headless and small: its start view must show a clear day's sky, and a
// low sun must warm the horizon it sets behind. A process of its own, since the demo's window and
// scene are process-wide. (320 x 180: llvmpipe draws the textured scene far more slowly still at
// 160 x 90.)
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneVisibility.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"
#include "scene/Scene.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <iostream>
#include <vector>

using namespace Orvanta;

namespace {

constexpr int Width = 320;
constexpr int Height = 180;

std::vector<uint8_t> renderSettled(Renderer& renderer, int frames)
{
    for (int i = 0; i < frames; ++i) {
        frameTimer().elapsedSeconds = 0.5f;
        updateVisibleSets(scene());
        renderer.renderFrame();
    }
    return mainWindow().headless()->readPixels();
}

// Red over blue of the brightest sky map texel just above the horizon (the upper half of the map
// is the sky above the horizon): toward the sun, where the light has crossed the most air.
float horizonWarmthTowardTheSun(Renderer& renderer)
{
    const int size = SkySet::skyMapSize;
    const int firstRow = size / 2 + 2;
    const int rows = size / 16;
    std::vector<float> rgb(static_cast<size_t>(size * rows) * 3);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::skySet(renderer).skyMap.framebufferId);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, firstRow, size, rows, GL_RGB, GL_FLOAT, rgb.data());
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(renderer));
    size_t brightest = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        if (rgb[i] + rgb[i + 1] + rgb[i + 2] > rgb[brightest] + rgb[brightest + 1] + rgb[brightest + 2])
            brightest = i;
    return rgb[brightest] / std::max(rgb[brightest + 2], 1e-6f);
}

}  // namespace

TEST(StartViewSky, IsAClearDayBlueAndWarmsTowardTheSunAtSunset)
{
    Window::requestHeadless(Width, Height);
    OrvantaApplication application;
    ASSERT_TRUE(application.initInstance()) << "the demo did not start (no headless OpenGL context?)";
    Renderer& renderer = mainWindow().renderer();
    // The F1 hint is written over the sky; the picture without it is the scene's.
    renderer.attachOverlay(nullptr);
    std::vector<uint8_t> pixels = renderSettled(renderer, 6);

    // The top fifth of the picture is sky: blue well above red and green.
    double red = 0, green = 0, blue = 0;
    for (int y = 0; y < Height / 5; ++y)
        for (int x = 0; x < Width; ++x) {
            const uint8_t* p = &pixels[static_cast<size_t>((y * Width + x) * 4)];
            red += p[0], green += p[1], blue += p[2];
        }
    std::cout << "top fifth: blue / red " << blue / red << ", blue / green " << blue / green << "\n";
    EXPECT_GE(blue, 1.8 * red) << "mean red " << red << " green " << green << " blue " << blue;
    EXPECT_GE(blue, 1.2 * green) << "mean red " << red << " green " << green << " blue " << blue;

    const float startWarmth = horizonWarmthTowardTheSun(renderer);
    // Three or four degrees above the horizon.
    renderer.moveSun(1.48f, renderer.sun()->inclination);
    renderSettled(renderer, 1);
    const float sunsetWarmth = horizonWarmthTowardTheSun(renderer);
    std::cout << "horizon toward the sun, red / blue: start " << startWarmth << ", sunset " << sunsetWarmth << "\n";
    EXPECT_GT(sunsetWarmth, 1.5f * startWarmth) << "start " << startWarmth << ", sunset " << sunsetWarmth;
    EXPECT_GT(sunsetWarmth, 1.0f) << "the setting sun's horizon is more red than blue";
}
