#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// Times the passes of a frame. With GL timestamp queries (glQueryCounter) it measures GPU time
// between the start and end of each pass; without them, CPU time after a glFinish at both ends.
// Results are collected at the end of the frame, when the queries are complete.
class PassTimer {
public:
    struct Sample {
        std::string pass;
        double milliseconds = 0.0;
    };

    PassTimer();
    ~PassTimer();
    PassTimer(const PassTimer&) = delete;
    PassTimer& operator=(const PassTimer&) = delete;

    void beginFrame();
    // A pass of CPU work (cpuWork) is timed on the CPU clock even when GPU queries are in use: the
    // GPU's timestamps would only show the queries it sees back to back.
    void begin(const char* pass, bool cpuWork = false);
    void end();
    // Waits for the frame's queries and returns one sample per pass, in pass order, and the
    // frame total (first begin to last end) last, named "frame".
    std::vector<Sample> endFrame();

    bool usesGpuQueries() const { return gpuQueries; }

private:
    struct Open {
        std::string pass;
        bool cpuWork = false;
        uint32_t startQuery = 0;
        uint32_t endQuery = 0;
        std::chrono::steady_clock::time_point cpuStart;
        std::chrono::steady_clock::time_point cpuEnd;
    };
    uint32_t takeQuery();

    bool gpuQueries = false;
    std::vector<uint32_t> queryPool;
    size_t queriesUsed = 0;
    std::vector<Open> passes;
    int openPass = -1;
};

}  // namespace Orvanta
