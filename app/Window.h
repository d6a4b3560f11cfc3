#pragma once
#include <memory>
#include <string>

namespace Orvanta {

class HeadlessContext;
class InputSource;
class RenderSurface;
class SdlInput;
class SdlWindow;

// The program's one window and its OpenGL context: a borderless window covering the primary
// display at its current mode, or, in headless runs, an offscreen target of a chosen size that
// stands for the window's framebuffer. The renderer derives from it (its state follows the
// window's), so the window singleton is the renderer.
class Window {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Makes the next initialiseContext() create a headless target of this size instead of a
    // window. Tools and tests call it before the window singleton initialises.
    static void requestHeadless(int width, int height);
    static bool headlessRequested();

    // Creates the window (or target) and a current compatibility context, installs the window's
    // input source and resolves the extension entry points. Returns false, with the reason in
    // contextError(), when no context can be made.
    bool initialiseContext();
    bool contextReady() const { return surface != nullptr; }
    const std::string& contextError() const { return error; }

    // Client size, read afresh on every call (nothing ever resizes the window).
    int width() const;
    int height() const;
    // GL name of the framebuffer that stands for the window (0 for a real window).
    unsigned windowFramebuffer() const;
    void swapBuffers();

    bool isHeadless() const { return headlessContext != nullptr; }
    // The headless target (null in windowed runs), for reading back what was drawn.
    HeadlessContext* headless() const { return headlessContext.get(); }

private:
    std::unique_ptr<SdlWindow> sdlWindow;
    std::unique_ptr<SdlInput> sdlInput;
    std::unique_ptr<HeadlessContext> headlessContext;
    RenderSurface* surface = nullptr;
    std::string error;
};

}  // namespace Orvanta
