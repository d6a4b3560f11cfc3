#include "app/Window.h"

#include "platform/gl/GlExtensions.h"
#include "platform/gl/GlRequirements.h"
#include "platform/HeadlessContext.h"
#include "platform/Input.h"
#include "platform/SdlWindow.h"
#include "renderer/Renderer.h"

namespace Orvanta {
namespace {
int headlessWidth = 0;
int headlessHeight = 0;
int windowedWidth = 0;
int windowedHeight = 0;
}  // namespace

Window::Window() : rendererState(std::make_unique<Renderer>())
{
}

Window::~Window()
{
    if (sdlInput)
        setPlatformInput(nullptr);
}

void Window::requestHeadless(int width, int height)
{
    headlessWidth = width;
    headlessHeight = height;
}

void Window::requestWindowed(int width, int height)
{
    windowedWidth = width;
    windowedHeight = height;
}

bool Window::headlessRequested()
{
    return headlessWidth > 0 && headlessHeight > 0;
}

bool Window::open()
{
    if (surface)
        return true;
    RenderSurface* opened = nullptr;
    if (headlessRequested()) {
        auto context = std::make_unique<HeadlessContext>();
        if (!context->create(headlessWidth, headlessHeight, error))
            return false;
        headlessContext = std::move(context);
        opened = headlessContext.get();
    } else {
        int w = windowedWidth, h = windowedHeight;
        const bool windowed = w > 0 && h > 0;
        std::string reason;
        if (!SdlWindow::displayAvailable(&reason)) {
            error = "no display is available (" + reason + ")";
            return false;
        }
        if (!windowed && !SdlWindow::primaryDisplaySize(w, h)) {
            error = "the primary display's mode cannot be read";
            return false;
        }
        auto window = std::make_unique<SdlWindow>();
        if (!window->create("Orvanta Engine", w, h, windowed, error))
            return false;
        sdlWindow = std::move(window);
        sdlInput = std::make_unique<SdlInput>(sdlWindow->handle());
        setPlatformInput(sdlInput.get());
        opened = sdlWindow.get();
    }
    loadExtensions();
    const std::string shortfall = currentContextShortfall();
    if (!shortfall.empty()) {
        error = shortfall;
        lacksRequirements = true;
        return false;
    }
    surface = opened;
    rendererState->initRenderer(*surface);
    return true;
}

}  // namespace Orvanta
