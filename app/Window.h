#pragma once
#include <memory>
#include <string>

namespace Orvanta {

class HeadlessContext;
class InputSource;
class RenderSurface;
class Renderer;
class SdlInput;
class SdlWindow;

// The program's one window and its OpenGL context: a borderless window covering the primary
// display at its current mode, an ordinary resizable window of a chosen size, or, in headless
// runs, an offscreen target of a chosen size that stands for the window's framebuffer. The window
// owns the renderer, whose state is built once the context exists and released before the
// context goes.
class Window {
public:
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Makes the next open() create a headless target of this size instead of a
    // window. Tools and tests call it before the window singleton initialises.
    static void requestHeadless(int width, int height);
    static bool headlessRequested();
    // Makes the next open() create an ordinary resizable window of this client size instead of the
    // borderless one over the display (headless requests take precedence).
    static void requestWindowed(int width, int height);

    // Creates the window (or target) and a current compatibility context, installs the window's
    // input source, resolves the extension entry points and builds the renderer's state on the
    // window. Returns false, with the reason in contextError(), when no context can be made or
    // the context lacks a version or extension the engine needs (platform/gl/GlRequirements.h).
    // A second call after success does nothing.
    bool open();
    bool contextReady() const { return surface != nullptr; }
    const std::string& contextError() const { return error; }
    // The context was made but lacks what the engine needs: the demo and tools exit with 2.
    bool contextLacksRequirements() const { return lacksRequirements; }

    // The renderer drawing into this window (its state exists once open() has succeeded).
    Renderer& renderer() { return *rendererState; }

    bool isHeadless() const { return headlessContext != nullptr; }
    // The headless target (null in windowed runs), for reading back what was drawn.
    HeadlessContext* headless() const { return headlessContext.get(); }

private:
    std::unique_ptr<SdlWindow> sdlWindow;
    std::unique_ptr<SdlInput> sdlInput;
    std::unique_ptr<HeadlessContext> headlessContext;
    RenderSurface* surface = nullptr;
    std::string error;
    bool lacksRequirements = false;
    // Declared last: released first, while the context still exists.
    std::unique_ptr<Renderer> rendererState;
};

}  // namespace Orvanta
