#pragma once

namespace Orvanta {

// Nested scissor rectangles. The scissor test is on while the stack holds a rectangle and set to
// the top one; it is switched off when the last one is popped.
class ScissorStack {
public:
    static constexpr int capacity = 16;

    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // A push beyond the capacity is refused (reported) rather than written past the stack.
    bool push(int x, int y, int width, int height);
    // Does nothing on an empty stack.
    void pop();

    int count() const { return depth; }
    bool empty() const { return depth == 0; }
    Rect top() const { return depth > 0 ? slots[depth - 1] : Rect{}; }

private:
    Rect slots[capacity];
    int depth = 0;
};

}  // namespace Orvanta
