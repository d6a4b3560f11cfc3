#include "renderer/FrameTimings.h"

#include <gtest/gtest.h>

using namespace Orvanta;

TEST(FrameTimings, StatisticsCountAPassAFrameSkippedAsZeroAndTheCsvHasOneLinePerFrame)
{
    FrameTimings timings;
    // Twenty frames: "G-buffer" takes 1 .. 20 ms, "reflections" runs in the second half only
    // (10 ms) and first appears there; the frame total is their sum.
    for (int i = 1; i <= 20; ++i) {
        std::vector<PassTimer::Sample> samples = {{"G-buffer", double(i)}};
        if (i > 10)
            samples.push_back({"reflections", 10.0});
        samples.push_back({"frame", double(i) + (i > 10 ? 10.0 : 0.0)});
        timings.addFrame(0.5 * (i - 1), samples);
    }
    const std::vector<FrameTimings::Statistics> stats = timings.statistics();
    ASSERT_EQ(stats.size(), 3u);
    EXPECT_EQ(stats[0].pass, "G-buffer");
    EXPECT_DOUBLE_EQ(stats[0].mean, 10.5);
    EXPECT_DOUBLE_EQ(stats[0].median, 10.5);
    EXPECT_DOUBLE_EQ(stats[0].percentile95, 19.0);  // the 19th of 20 sorted values
    EXPECT_EQ(stats[1].pass, "reflections");
    EXPECT_DOUBLE_EQ(stats[1].mean, 5.0);
    EXPECT_DOUBLE_EQ(stats[1].median, 5.0);
    EXPECT_DOUBLE_EQ(stats[1].percentile95, 10.0);
    EXPECT_EQ(stats[2].pass, "frame");
    EXPECT_DOUBLE_EQ(stats[2].mean, 15.5);

    const std::string csv = timings.csv();
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "frame,path seconds,G-buffer,reflections,frame total");
    EXPECT_NE(csv.find("\n1,0.0000,1.0000,0.0000,1.0000\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n20,9.5000,20.0000,10.0000,30.0000\n"), std::string::npos) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 21);
}
