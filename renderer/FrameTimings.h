#pragma once
#include "renderer/PassTimer.h"

#include <string>
#include <vector>

namespace Orvanta {

// The per-pass times of a run of frames, such as a benchmark along a camera path: one row per
// frame with its time on the path, each pass's milliseconds and the whole frame's. Passes are
// kept in the order they were first seen; a pass that a frame did not run counts 0 ms there, so
// every statistic is a cost per frame.
class FrameTimings {
public:
    struct Statistics {
        std::string pass;
        double mean = 0.0;
        double median = 0.0;
        double percentile95 = 0.0;  // nearest rank: the smallest time at least 95 % of frames reach
    };

    // One frame's samples as PassTimer::endFrame returns them (the one named "frame" is the total).
    void addFrame(double pathSeconds, const std::vector<PassTimer::Sample>& samples);
    size_t frameCount() const { return frameTotals.size(); }

    // Mean, median and 95th percentile of every pass, in pass order, then of the frame ("frame").
    std::vector<Statistics> statistics() const;
    // The statistics as an aligned table with a header line, in milliseconds.
    std::string summaryTable() const;
    // CSV: a header "frame,path seconds,<pass>...,frame total" and one line per frame (its number
    // from 1, the path time, the milliseconds of each pass and of the frame).
    std::string csv() const;

private:
    std::vector<std::string> passes;
    std::vector<double> pathTimes;
    std::vector<std::vector<double>> passTimes;  // per frame, by index into passes (may be shorter)
    std::vector<double> frameTotals;
};

}  // namespace Orvanta
