#pragma once

namespace Orvanta {

// What the engine draws into as "the window": a real window's default framebuffer, or an
// offscreen target standing in for it in headless runs. Sizes are read afresh on every call.
class RenderSurface {
public:
    virtual ~RenderSurface() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // GL framebuffer name that stands for the window's framebuffer (0 for a real window).
    virtual unsigned framebuffer() const = 0;
    virtual void swapBuffers() = 0;
};

}  // namespace Orvanta
