#include "TraceProgress.h"

#include <algorithm>
#include <unistd.h>

namespace Orvanta {

namespace {

// How often a line goes out: often enough to look alive in place, sparingly into a log.
constexpr double kTerminalInterval = 0.5;
constexpr double kLogInterval = 10.0;

}  // namespace

TraceProgress::TraceProgress(std::FILE* out, uint32_t targetSamples, double targetSeconds)
    : out(out), terminal(isatty(fileno(out)) == 1), targetSamples(targetSamples), targetSeconds(targetSeconds),
      start(std::chrono::steady_clock::now())
{
}

double TraceProgress::elapsedSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TraceProgress::update(uint32_t samplesDone, uint64_t raysDone)
{
    const double elapsed = elapsedSeconds();
    if (lastShown >= 0.0 && elapsed - lastShown < (terminal ? kTerminalInterval : kLogInterval))
        return;
    lastShown = elapsed;
    double left = 0.0;
    if (targetSeconds > 0.0)
        left = std::max(0.0, targetSeconds - elapsed);
    else if (samplesDone > 0)
        left = elapsed / samplesDone * (targetSamples > samplesDone ? targetSamples - samplesDone : 0);
    const double raysPerSecond = elapsed > 0.0 ? double(raysDone) / elapsed : 0.0;
    char target[32] = "";
    if (targetSeconds <= 0.0)
        std::snprintf(target, sizeof target, "/%u", targetSamples);
    std::fprintf(out, "%straced %u%s samples per pixel, %.2f Mrays/s, %.0f s gone, %.0f s left%s", terminal ? "\r" : "",
                 samplesDone, target, raysPerSecond / 1e6, elapsed, left, terminal ? "   " : "\n");
    std::fflush(out);
    shownInPlace = terminal;
}

void TraceProgress::finish()
{
    if (shownInPlace)
        std::fputc('\n', out);
    std::fflush(out);
    shownInPlace = false;
}

}  // namespace Orvanta
