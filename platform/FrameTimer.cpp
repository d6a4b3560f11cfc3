#include "platform/FrameTimer.h"

namespace Orvanta {

FrameTimer& frameTimer()
{
    static FrameTimer timer;
    return timer;
}

}  // namespace Orvanta
