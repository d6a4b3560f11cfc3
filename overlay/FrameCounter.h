#pragma once
#include <cstdint>
#include <string>

namespace Orvanta {

// The panel's frames-per-second counter. It is updated only while the panel is drawn in UI mode,
// so it counts UI-mode frames and shows the number drawn in the last full second.
struct FrameCounter {
    uint32_t framesThisSecond = 0;
    uint32_t displayedFps = 0;
    uint32_t lastSecondTick = 0;  // millisecond tick; taken at the first update
    bool started = false;
};

// Counts one drawn frame at millisecond tick `now` and returns the text to show ("%d" of the
// displayed rate). A second is over when at least 1000 ms passed since the last one began; the
// difference is unsigned 32-bit, so a wrap of the tick counter still measures the true interval.
std::string countFrame(FrameCounter& counter, uint32_t now);

}  // namespace Orvanta
