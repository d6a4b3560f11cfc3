#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>

namespace Orvanta {

// Shows a long trace's progress: samples done, rays per second and the time left. On a terminal it
// is one line rewritten in place; into a file or a pipe (a script reading it) it is a plain line
// every few seconds, so that a log neither stays silent for a quarter of an hour nor fills with
// carriage returns.
class TraceProgress {
public:
    // Either a sample count or a time budget in seconds (above 0) ends the trace.
    TraceProgress(std::FILE* out, uint32_t targetSamples, double targetSeconds);

    void update(uint32_t samplesDone, uint64_t raysDone);
    // Ends the rewritten line, so that what follows starts on a line of its own.
    void finish();

    double elapsedSeconds() const;

private:
    std::FILE* out;
    bool terminal;
    uint32_t targetSamples;
    double targetSeconds;
    std::chrono::steady_clock::time_point start;
    double lastShown = -1.0;
    bool shownInPlace = false;
};

}  // namespace Orvanta
