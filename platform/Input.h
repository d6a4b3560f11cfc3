#pragma once
#include <cstdint>

namespace Orvanta {

// The keys and buttons the engine polls. Letter keys are resolved through the active keyboard
// layout (the key that types that letter), arrows and function keys by position.
enum class Key { W, A, S, D, Up, Down, Left, Right, F1, F2, F3, F5, F12, Escape, LeftButton, Count };

// Polled input, cursor and tick source. The engine never sees window messages for input: it asks
// once per main-loop iteration. Tests install a scripted source in place of the window's.
class InputSource {
public:
    virtual ~InputSource() = default;
    // True when the key is down now or was pressed since the last query of that key.
    // Querying clears the "pressed since" latch of that key only.
    virtual bool queryKey(Key key) = 0;
    // Cursor position in the window's pixels, origin at its client area's top-left corner (the
    // demo's full-display window sits at the screen origin, so there they are screen pixels).
    virtual void cursorPosition(int& x, int& y) = 0;
    virtual void setCursorPosition(int x, int y) = 0;
    virtual void showCursor(bool visible) = 0;
    // Millisecond tick counter; wraps at 2^32 like the Windows tick count.
    virtual uint32_t ticks() = 0;
    // Dispatches pending window messages. Returns false once the window was asked to close.
    virtual bool pumpMessages() = 0;
};

// A source without a pointer device of its own: the cursor stays where it was last put.
class StoredCursorInput : public InputSource {
public:
    void cursorPosition(int& x, int& y) override
    {
        x = cursorX;
        y = cursorY;
    }
    void setCursorPosition(int x, int y) override
    {
        cursorX = x;
        cursorY = y;
    }

private:
    int cursorX = 0;
    int cursorY = 0;
};

// The source the engine polls. Until a window or a test installs one, a headless source is active:
// no key is ever down, the cursor stays where it was put, ticks follow a monotonic clock.
InputSource& platformInput();
// Installs a source (not owned); null restores the headless source.
void setPlatformInput(InputSource* source);

}  // namespace Orvanta
