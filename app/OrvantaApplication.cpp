#include "app/OrvantaApplication.h"

#include "app/FrameTimer.h"
#include "app/GlExtensions.h"
#include "app/MainLoop.h"
#include "app/Window.h"
#include "platform/Input.h"
#include "platform/Log.h"

namespace Orvanta {

Window& mainWindow()
{
    static Window window;
    return window;
}

namespace {

// The main loop's steps on the real subsystems.
class DemoSteps final : public MainLoopSteps {
public:
    explicit DemoSteps(Window& w) : window(w) {}

    uint32_t ticks() override { return platformInput().ticks(); }
    void applyKeyboardControls() override {}
    void updateVisibleSets() override {}
    void handleMouse() override {}
    void updateAudio() override {}
    bool escapePressed() override { return platformInput().queryKey(Key::Escape); }
    void renderFrame() override
    {
        glBindFramebuffer(GL_FRAMEBUFFER, window.windowFramebuffer());
        glViewport(0, 0, window.width(), window.height());
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        window.swapBuffers();
    }
    bool pumpMessages() override { return platformInput().pumpMessages(); }

private:
    Window& window;
};

}  // namespace

bool OrvantaApplication::initInstance()
{
    Window& window = mainWindow();
    if (!window.initialiseContext()) {
        logError("cannot start: " + window.contextError());
        return false;
    }
    return true;
}

int OrvantaApplication::run()
{
    DemoSteps steps(mainWindow());
    return runMainLoop(steps, frameTimer());
}

}  // namespace Orvanta
