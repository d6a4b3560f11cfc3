#include "SimulatedClock.h"

#include "platform/FrameTimer.h"

#include <cmath>

namespace Orvanta {

SimulatedClock::SimulatedClock(float frameSeconds) : step(frameSeconds)
{
}

SimulatedClock::~SimulatedClock()
{
    if (installed)
        setPlatformInput(nullptr);
}

void SimulatedClock::install()
{
    setPlatformInput(this);
    installed = true;
}

void SimulatedClock::advanceFrame()
{
    ++frames;
    frameTimer().elapsedSeconds = step;
}

uint32_t SimulatedClock::ticks()
{
    // From the frame count rather than summed steps, so that no rounding accumulates.
    return static_cast<uint32_t>(std::llround(static_cast<double>(frames) * static_cast<double>(step) * 1000.0));
}

}  // namespace Orvanta
