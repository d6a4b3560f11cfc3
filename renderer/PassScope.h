#pragma once

namespace Orvanta {

class PassTimer;

// Marks one pass of the frame: times it into the timer when there is one and, with GL checking
// on, reports GL errors and changes to the conventional GL state when the pass ends.
class PassScope {
public:
    // cpuWork: the pass works on the CPU and is timed on the CPU clock.
    PassScope(PassTimer* timer, const char* name, bool cpuWork = false);
    ~PassScope();
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

private:
    PassTimer* timer;
    const char* name;
};

// Runs one pass of the frame when `on`, as the pass `name`; a CPU pass is timed on the CPU clock.
template <typename Draw>
void runPass(PassTimer* timer, const char* name, bool on, Draw&& draw, bool cpuWork = false)
{
    if (!on)
        return;
    PassScope scope(timer, name, cpuWork);
    draw();
}

}  // namespace Orvanta
