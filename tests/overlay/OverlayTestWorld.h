#pragma once
#include "app/Window.h"
#include "overlay/ControlPanel.h"
#include "renderer/Renderer.h"
#include "support/RendererTestAccess.h"
#include "support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace OrvantaTest {

// Width and height of the overlay tests' window: larger than the 620 x 400 panel.
constexpr int overlayWidth = 640;
constexpr int overlayHeight = 420;

// A renderer on a 640 x 420 headless target with no scene instances, created once per test
// process after the test GL context; null when it cannot be made.
Orvanta::Renderer* overlayRenderer();

// Each test gets a freshly loaded panel attached to the renderer and scripted input; the panel is
// detached again at the end so no test sees another's.
struct OverlayFixture : ::testing::Test {
    void SetUp() override;
    void TearDown() override;

    // Clears the window's framebuffer to an RGB colour (each 0..1).
    void clearWindow(float r, float g, float b);
    // Draws the overlay alone, over whatever the window holds.
    void drawOverlay()
    {
        panel->drawOverlay({renderer->width(), renderer->height(),
                            Orvanta::RendererTestAccess::windowFramebuffer(*renderer),
                            &Orvanta::RendererTestAccess::textureUnitTable(*renderer)});
    }
    std::vector<uint8_t> windowPixels() const;

    Orvanta::ScriptedInput input;
    Orvanta::Renderer* renderer = nullptr;
    std::unique_ptr<Orvanta::ControlPanel> panel;
};

// The RGBA8 pixel at (x, y), top row first.
const uint8_t* pixelAt(const std::vector<uint8_t>& rgba, int x, int y);

}  // namespace OrvantaTest
