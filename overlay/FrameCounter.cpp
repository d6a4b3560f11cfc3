#include "overlay/FrameCounter.h"

namespace Orvanta {

std::string countFrame(FrameCounter& counter, uint32_t now)
{
    if (!counter.started) {
        counter.started = true;
        counter.lastSecondTick = now;
    }
    if (static_cast<uint32_t>(now - counter.lastSecondTick) >= 1000u) {
        counter.lastSecondTick = now;
        counter.displayedFps = counter.framesThisSecond;
        counter.framesThisSecond = 0;
    }
    std::string text = std::to_string(counter.displayedFps);
    ++counter.framesThisSecond;
    return text;
}

}  // namespace Orvanta
