#include "OverlayTestWorld.h"

#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

namespace OrvantaTest {

using namespace Orvanta;

namespace {
Window* overlayWindow = nullptr;
}  // namespace

Renderer* overlayRenderer()
{
    static Renderer* made = nullptr;
    static bool tried = false;
    if (tried)
        return made;
    tried = true;
    if (!glContext())
        return nullptr;
    Window::requestHeadless(overlayWidth, overlayHeight);
    static Window window;
    if (window.open()) {
        made = &window.renderer();
        overlayWindow = &window;
    }
    return made;
}

void OverlayFixture::SetUp()
{
    if (!glContext())
        FAIL() << "no headless OpenGL context: " << glContextError();
    renderer = overlayRenderer();
    ASSERT_NE(renderer, nullptr) << "the renderer could not be set up";
    setPlatformInput(&input);
    panel = std::make_unique<ControlPanel>();
    loadPanel(*panel, *renderer);
}

void OverlayFixture::TearDown()
{
    if (renderer) {
        renderer->attachFeatureSwitches(nullptr);
        renderer->attachOverlay(nullptr);
    }
    setPlatformInput(nullptr);
}

void OverlayFixture::clearWindow(float r, float g, float b)
{
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*renderer));
    glViewport(0, 0, renderer->width(), renderer->height());
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<uint8_t> OverlayFixture::windowPixels() const
{
    return overlayWindow->headless()->readPixels();
}

const uint8_t* pixelAt(const std::vector<uint8_t>& rgba, int x, int y)
{
    return &rgba[static_cast<size_t>((y * overlayWidth + x) * 4)];
}

}  // namespace OrvantaTest
