#pragma once
#include "platform/Input.h"
#include "platform/RenderSurface.h"

#include <array>
#include <string>

struct SDL_Window;

namespace Orvanta {

// A borderless window at the primary display's origin, or an ordinary resizable window, with a
// current OpenGL compatibility context: RGBA 8/8/8/8, depth 24, stencil 8, double-buffered, no
// multisampling, sRGB-capable.
class SdlWindow final : public RenderSurface {
public:
    SdlWindow() = default;
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // True when a display can be opened at all (SDL's video subsystem initialises).
    static bool displayAvailable(std::string* reason = nullptr);
    // Size of the primary display's current mode; the mode is read, never changed.
    static bool primaryDisplaySize(int& width, int& height);

    // Creates the window of the given size and makes its context current: borderless at the
    // screen origin, or (windowed) decorated where a window manager runs, resizable and centred.
    // On failure returns false and describes the problem in `error`.
    bool create(const char* title, int width, int height, bool windowed, std::string& error);
    SDL_Window* handle() const { return window; }

    int width() const override;
    int height() const override;
    unsigned framebuffer() const override { return 0; }
    void swapBuffers() override;

private:
    SDL_Window* window = nullptr;
    void* context = nullptr;
};

// Input polled from SDL for one window: keyboard state plus per-key latches filled while
// messages are pumped; cursor positions relative to the window. While the window manager has
// given the keyboard to another window, the pointer is neither read nor moved.
class SdlInput final : public InputSource {
public:
    explicit SdlInput(SDL_Window* window);
    bool queryKey(Key key) override;
    void cursorPosition(int& x, int& y) override;
    void setCursorPosition(int x, int y) override;
    void showCursor(bool visible) override;
    uint32_t ticks() override;
    bool pumpMessages() override;

private:
    static constexpr int keyCount = static_cast<int>(Key::Count);
    std::array<bool, keyCount> latched{};
    SDL_Window* window = nullptr;
    bool focused = true;
    int lastWarpX = 0;
    int lastWarpY = 0;
};

}  // namespace Orvanta
