#pragma once

namespace Orvanta {

class Renderer;

// The two-dimensional layer drawn over the finished frame, just before the buffers are swapped.
// The overlay's control panel implements it; the renderer only knows this interface, so the
// overlay can sit above the renderer.
class FrameOverlay {
public:
    virtual ~FrameOverlay() = default;
    // Draws into the window's framebuffer, which is current, with no program in use and texturing
    // off on every unit. Leaves the GL state as it found it.
    virtual void drawOverlay(Renderer& renderer) = 0;
};

}  // namespace Orvanta
