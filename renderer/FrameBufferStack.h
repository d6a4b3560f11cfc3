#pragma once
#include <cstdint>

namespace Orvanta {

class FrameBuffer;
class RenderSurface;

// The nested render targets of a frame. The viewport always follows the bound target: a push
// sets it to the pushed framebuffer's size, a pop to the new top's size or, once the stack is
// empty, to the window's client size with the window's own framebuffer bound.
class FrameBufferStack {
public:
    static constexpr int capacity = 16;

    // The window's surface, whose framebuffer is bound at its client size read afresh once the
    // stack is empty.
    void setWindow(const RenderSurface* surface);

    // Binds and records the framebuffer. A push beyond the capacity is refused (reported, and
    // nothing changes) rather than written past the stack.
    bool push(FrameBuffer* frameBuffer);
    // Does nothing on an empty stack.
    void pop();

    int count() const { return depth; }
    FrameBuffer* top() const { return depth > 0 ? slots[depth - 1] : nullptr; }
    // Width and height of the current target: the top, or the window's client size.
    int currentWidth() const;
    int currentHeight() const;

private:
    FrameBuffer* slots[capacity] = {};
    int depth = 0;
    const RenderSurface* window = nullptr;
};

}  // namespace Orvanta
