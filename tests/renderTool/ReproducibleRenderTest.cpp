// Two runs of one render-tool command draw the same picture, and a fixed exposure draws the same
// picture whatever the frame time. The view is kept cheap on llvmpipe: a small window looking from
// the start position over the house and the yard, with sky, trees and the panel (--ui, so the
// frame counter, which reads the clock, is drawn too).
#include "platform/HdrImage.h"
#include "platform/PngFile.h"
#include "support/GlTestContext.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

const std::string kView = "--width 160 --height 90 --camera 12.5,6.26,-6.04,0.1228,0.6964,0.1228,-0.6964 --ui";

ToolRun runRender(const std::string& arguments)
{
    return runCommandLine(std::string(ORVANTA_RENDER_PATH) + " " + arguments);
}

struct Rendered {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    HdrImage hdr;
};

// Runs the tool with --hdr DIR/NAME.exr (the PNG goes beside it) and reads both files.
Rendered render(const std::string& dir, const std::string& name, const std::string& arguments)
{
    Rendered result;
    const ToolRun run = runRender(kView + " " + arguments + " --hdr " + dir + "/" + name + ".exr");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // The tool plays nothing, so it opens no audio device: on a machine without one (CI) the
    // sound library's complaints would otherwise come before every render's own output.
    EXPECT_EQ(run.output.find("ALSA"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("audio device"), std::string::npos) << run.output;
    std::string error;
    EXPECT_TRUE(readPng(dir + "/" + name + ".png", result.width, result.height, result.rgba, error)) << error;
    EXPECT_TRUE(readExr(dir + "/" + name + ".exr", result.hdr, error)) << error;
    return result;
}

// Every channel of every pixel within `tolerance` (in 1/255 steps); the first one off is named.
void expectSamePicture(const Rendered& a, const Rendered& b, int tolerance)
{
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    ASSERT_EQ(a.rgba.size(), b.rgba.size());
    ASSERT_FALSE(a.rgba.empty());
    for (size_t i = 0; i < a.rgba.size(); ++i)
        ASSERT_LE(std::abs(int(a.rgba[i]) - int(b.rgba[i])), tolerance)
            << "pixel (" << (i / 4) % size_t(a.width) << ", " << (i / 4) / size_t(a.width) << ") channel " << i % 4
            << ": " << int(a.rgba[i]) << " against " << int(b.rgba[i]);
}

}  // namespace

TEST(ReproducibleRender, TwoRunsOfOneCommandDrawTheSamePicture)
{
    const std::string dir = OrvantaTest::makeTempDir("render-twice");
    const Rendered first = render(dir, "first", "");
    const Rendered second = render(dir, "second", "");
    expectSamePicture(first, second, 1);
    ASSERT_TRUE(first.hdr.exposure.has_value());
    ASSERT_TRUE(second.hdr.exposure.has_value());
    EXPECT_EQ(*first.hdr.exposure, *second.hdr.exposure);
    EXPECT_GT(*first.hdr.exposure, 0.0f);
}

TEST(ReproducibleRender, AFixedExposureDrawsTheSamePictureWhateverTheFrameTime)
{
    const std::string dir = OrvantaTest::makeTempDir("render-exposure");
    const Rendered brief = render(dir, "brief", "--frames 3 --exposure 1.5 --frame-time 0.01");
    const Rendered slow = render(dir, "slow", "--frames 3 --exposure 1.5 --frame-time 30");
    expectSamePicture(brief, slow, 1);
    ASSERT_TRUE(brief.hdr.exposure.has_value());
    EXPECT_EQ(*brief.hdr.exposure, 1.5f);
    EXPECT_EQ(brief.hdr.width, 160);
    EXPECT_EQ(brief.hdr.height, 90);
}

TEST(ReproducibleRender, BadNewOptionsAreRefusedWithTheirValue)
{
    const std::string dir = makeTempDir("render-options");
    for (const char* bad : {"--frame-time 0", "--frame-time nan", "--exposure -1", "--hdr frame.png",
                            "--camera nan,1,2,0,0,0,1", "--camera 1,2,3,0,0,0,0"}) {
        const ToolRun run = runRender(bad);
        EXPECT_EQ(run.exitCode, 2) << bad << "\n" << run.output;
        EXPECT_NE(run.output.find("is not a valid value"), std::string::npos) << run.output;
    }
    // Outputs that cannot be written are refused before any frame is drawn, and nothing is left.
    for (const std::string& bad :
         {"--output " + dir + "/missing/frame.png", "--output " + dir, std::string("--output /dev/null"),
          "--hdr " + dir + "/same.exr --output " + dir + "/same.exr"}) {
        const ToolRun run = runRender(bad);
        EXPECT_EQ(run.exitCode, 2) << bad << "\n" << run.output;
        EXPECT_EQ(run.output.rfind("orvanta-render: ", 0), 0u) << run.output;
        EXPECT_EQ(run.output.find("wrote"), std::string::npos) << run.output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}
