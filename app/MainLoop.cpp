#include "app/MainLoop.h"

#include "platform/FrameTimer.h"

namespace Orvanta {

int runMainLoop(MainLoopSteps& steps, FrameTimer& timer)
{
    timer.elapsedSeconds = 0.0f;
    uint32_t tick = steps.ticks();
    for (;;) {
        timer.lastTick = tick;
        steps.applyKeyboardControls();
        steps.updateVisibleSets();
        steps.handleMouse();
        steps.updateAudio();
        if (steps.escapePressed())
            return 0;
        steps.renderFrame();
        if (!steps.pumpMessages())
            return 0;
        tick = steps.ticks();
        timer.elapsedSeconds = FrameTimer::secondsBetween(timer.lastTick, tick);
    }
}

}  // namespace Orvanta
