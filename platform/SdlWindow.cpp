#include "platform/SdlWindow.h"

#include "platform/GlProcAddress.h"

#include <SDL.h>

namespace Orvanta {
namespace {

bool ensureVideo(std::string* reason)
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (reason)
            *reason = SDL_GetError();
        return false;
    }
    return true;
}

void* sdlProcLoader(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

SDL_Scancode scancodeOf(Key key)
{
    switch (key) {
    case Key::W:
        return SDL_GetScancodeFromKey(SDLK_w);
    case Key::A:
        return SDL_GetScancodeFromKey(SDLK_a);
    case Key::S:
        return SDL_GetScancodeFromKey(SDLK_s);
    case Key::D:
        return SDL_GetScancodeFromKey(SDLK_d);
    case Key::Up:
        return SDL_SCANCODE_UP;
    case Key::Down:
        return SDL_SCANCODE_DOWN;
    case Key::Left:
        return SDL_SCANCODE_LEFT;
    case Key::Right:
        return SDL_SCANCODE_RIGHT;
    case Key::F1:
        return SDL_SCANCODE_F1;
    case Key::F2:
        return SDL_SCANCODE_F2;
    case Key::F3:
        return SDL_SCANCODE_F3;
    case Key::F5:
        return SDL_SCANCODE_F5;
    case Key::F12:
        return SDL_SCANCODE_F12;
    case Key::Escape:
        return SDL_SCANCODE_ESCAPE;
    default:
        return SDL_SCANCODE_UNKNOWN;
    }
}

}  // namespace

SdlWindow::~SdlWindow()
{
    if (context)
        SDL_GL_DeleteContext(context);
    if (window)
        SDL_DestroyWindow(window);
}

bool SdlWindow::displayAvailable(std::string* reason)
{
    return ensureVideo(reason);
}

bool SdlWindow::primaryDisplaySize(int& width, int& height)
{
    if (!ensureVideo(nullptr))
        return false;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0)
        return false;
    width = mode.w;
    height = mode.h;
    return true;
}

bool SdlWindow::create(const char* title, int w, int h, bool windowed, std::string& error)
{
    if (!ensureVideo(&error))
        return false;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, 1);

    // The demo's window covers the display from its origin; an ordinary window is centred, and
    // a window manager may place it elsewhere.
    const int position = windowed ? int(SDL_WINDOWPOS_CENTERED) : 0;
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN |
                         (windowed ? SDL_WINDOW_RESIZABLE : SDL_WINDOW_BORDERLESS);
    window = SDL_CreateWindow(title, position, position, w, h, flags);
    if (!window) {
        // Software visuals (Xvfb) may not offer an accelerated one; fall back to any visual.
        SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, -1);
        window = SDL_CreateWindow(title, position, position, w, h, flags);
    }
    if (!window) {
        error = std::string("cannot create the window: ") + SDL_GetError();
        return false;
    }
    context = SDL_GL_CreateContext(window);
    if (!context) {
        error = std::string("cannot create the OpenGL context: ") + SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window, context);
    setGlProcLoader(sdlProcLoader);
    // Vertical sync off; under Xvfb there is no swap control and the call fails harmlessly.
    SDL_GL_SetSwapInterval(0);
    return true;
}

int SdlWindow::width() const
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    return w;
}

int SdlWindow::height() const
{
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    return h;
}

void SdlWindow::swapBuffers()
{
    SDL_GL_SwapWindow(window);
}

bool SdlInput::queryKey(Key key)
{
    int i = static_cast<int>(key);
    bool down;
    if (key == Key::LeftButton) {
        down = (SDL_GetGlobalMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    } else {
        const Uint8* state = SDL_GetKeyboardState(nullptr);
        SDL_Scancode code = scancodeOf(key);
        down = code != SDL_SCANCODE_UNKNOWN && state[code] != 0;
    }
    bool result = down || latched[i];
    latched[i] = false;
    return result;
}

SdlInput::SdlInput(SDL_Window* inputWindow) : window(inputWindow)
{
}

void SdlInput::cursorPosition(int& x, int& y)
{
    // While another window has the keyboard, the cursor is the user's: it reads as resting
    // where it was last put, so that mouse look measures nothing.
    if (!focused) {
        x = lastWarpX;
        y = lastWarpY;
        return;
    }
    // SDL caches the global cursor position and refreshes it only on some X input events: where
    // the server sends no raw motion (Xvfb driven by synthetic input) it stays at the last button
    // event, so a drag would never move. While the window holds the pointer, the position of the
    // latest motion event (relative to the window) is the cursor's; pumping first brings it up to
    // date (a warp's own motion event included).
    SDL_PumpEvents();
    if (SDL_GetMouseFocus() == window) {
        SDL_GetMouseState(&x, &y);
        return;
    }
    int windowX = 0, windowY = 0;
    SDL_GetGlobalMouseState(&x, &y);
    SDL_GetWindowPosition(window, &windowX, &windowY);
    x -= windowX;
    y -= windowY;
}

void SdlInput::setCursorPosition(int x, int y)
{
    lastWarpX = x;
    lastWarpY = y;
    // An unfocused window leaves the pointer alone (the user works in another window). The warp
    // is global: a window that is not mapped yet (at start-up) takes no warp of its own.
    if (!focused)
        return;
    int windowX = 0, windowY = 0;
    SDL_GetWindowPosition(window, &windowX, &windowY);
    SDL_WarpMouseGlobal(windowX + x, windowY + y);
}

void SdlInput::showCursor(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

uint32_t SdlInput::ticks()
{
    return SDL_GetTicks();
}

bool SdlInput::pumpMessages()
{
    bool open = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            open = false;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                open = false;
            // Focus counts as held until the window manager says otherwise: without one (Xvfb)
            // no focus event ever comes and the window keeps the pointer as the demo always did.
            else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                focused = false;
            else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                focused = true;
            break;
        case SDL_KEYDOWN:
            for (int k = 0; k < keyCount; ++k) {
                Key key = static_cast<Key>(k);
                if (key != Key::LeftButton && scancodeOf(key) == event.key.keysym.scancode)
                    latched[k] = true;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT)
                latched[static_cast<int>(Key::LeftButton)] = true;
            break;
        default:
            break;
        }
    }
    return open;
}

}  // namespace Orvanta
