#pragma once
#include <cstdint>

namespace Orvanta {

struct FrameTimer;

// The per-iteration steps of the main loop, in the order runMainLoop calls them. The application
// supplies the real subsystems; tests supply recording steps.
class MainLoopSteps {
public:
    virtual ~MainLoopSteps() = default;
    virtual uint32_t ticks() = 0;
    virtual void applyKeyboardControls() = 0;  // moves the main camera by FrameTimer's elapsed time
    virtual void updateVisibleSets() = 0;
    virtual void handleMouse() = 0;
    virtual void updateAudio() = 0;
    virtual bool escapePressed() = 0;
    virtual void renderFrame() = 0;   // includes the overlay and the buffer swap
    virtual bool pumpMessages() = 0;  // false once the window was closed
};

// Runs until Escape (exit code 0) or until the window is closed by other means (also 0): every
// update of an iteration happens before Escape is tested, and Escape is tested before rendering.
// The controls of iteration n see the duration of iteration n-1; the first sees exactly 0.
int runMainLoop(MainLoopSteps& steps, FrameTimer& timer);

}  // namespace Orvanta
