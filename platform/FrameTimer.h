#pragma once
#include <cstdint>

namespace Orvanta {

// Duration of the previous main-loop iteration. The tick counter is 32-bit and wraps after about
// 49.7 days; the unsigned difference still gives the true interval across a wrap.
struct FrameTimer {
    uint32_t lastTick = 0;
    float elapsedSeconds = 0.0f;

    static float secondsBetween(uint32_t from, uint32_t to)
    {
        return static_cast<float>(static_cast<uint32_t>(to - from)) * 0.001f;
    }
};

FrameTimer& frameTimer();

}  // namespace Orvanta
