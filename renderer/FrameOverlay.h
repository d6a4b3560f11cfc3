#pragma once

namespace Orvanta {

class TextureUnitTable;

// What the overlay draws into: the window's framebuffer (its GL name, 0 for a real window) at its
// client size, and the frame's texture units.
struct OverlayTarget {
    int width = 0;
    int height = 0;
    unsigned framebuffer = 0;
    TextureUnitTable* textureUnits = nullptr;
};

// The two-dimensional layer drawn over the finished frame, just before the buffers are swapped.
// The overlay's control panel implements it; the renderer only knows this interface, so the
// overlay can sit above the renderer.
class FrameOverlay {
public:
    virtual ~FrameOverlay() = default;
    // Draws into the target's framebuffer, which is current, with no program in use and texturing
    // off on every unit. Leaves the GL state as it found it.
    virtual void drawOverlay(const OverlayTarget& target) = 0;
};

}  // namespace Orvanta
