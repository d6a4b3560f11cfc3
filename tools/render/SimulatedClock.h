#pragma once
#include "platform/Input.h"

#include <cstdint>

namespace Orvanta {

// The render tool's clock: time passes only when a frame is drawn, by a fixed step, so that two
// runs of the same command draw the same frames. While installed it is the platform input, whose
// tick counter everything else reads (the panel's frame counter); it also sets the frame timer's
// elapsed time, which the eye adaptation reads. No key is ever down and the cursor stays put, as
// with the headless input. Uninstalls itself when destroyed.
class SimulatedClock final : public StoredCursorInput {
public:
    explicit SimulatedClock(float frameSeconds);
    ~SimulatedClock() override;
    SimulatedClock(const SimulatedClock&) = delete;
    SimulatedClock& operator=(const SimulatedClock&) = delete;

    // Makes this the platform input (after the window, which installs its own, is open).
    void install();
    // One frame's step: the frame timer's elapsed time becomes the step and the ticks advance by
    // it. Called before each frame, the first one included.
    void advanceFrame();

    bool queryKey(Key) override { return false; }
    void showCursor(bool) override {}
    uint32_t ticks() override;
    bool pumpMessages() override { return true; }

private:
    float step = 0.0f;
    long long frames = 0;
    bool installed = false;
};

}  // namespace Orvanta
