// The comparison metrics against closed forms, and the compare tool's refusals.
#include "metrics/ImageMetrics.h"

#include "platform/FileAccess.h"
#include "platform/HdrImage.h"
#include "platform/PngFile.h"
#include "support/GlTestContext.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

Picture flatPicture(int width, int height, uint8_t r, uint8_t g, uint8_t b)
{
    Picture picture{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        picture.rgba.insert(picture.rgba.end(), {r, g, b, 255});
    return picture;
}

// A picture with structure at every scale: a gradient with a ripple and a hard edge.
Picture patternPicture(int width, int height)
{
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double ripple = 60.0 * std::sin(x * 0.7) * std::cos(y * 0.4);
            const auto clamp = [](double v) { return uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, v)))); };
            picture.rgba.insert(picture.rgba.end(), {clamp(x * 4.0 + ripple), clamp(y * 5.0 - ripple),
                                                     uint8_t(x < width / 2 ? 30 : 220), 255});
        }
    return picture;
}

HdrImage flatHdr(int width, int height, float value)
{
    HdrImage image;
    image.width = width;
    image.height = height;
    image.rgb.assign(size_t(width) * height * 3, value);
    return image;
}

ToolRun runCompare(const std::string& arguments)
{
    return runCommandLine(std::string(ORVANTA_COMPARE_PATH) + " " + arguments);
}

}  // namespace

TEST(ImageMetrics, SsimOfAPictureWithItselfIsOne)
{
    const Picture picture = patternPicture(37, 23);
    EXPECT_NEAR(ssim(picture, picture), 1.0, 1e-12);
}

TEST(ImageMetrics, SsimOfTwoFlatPicturesIsTheLuminanceTermAlone)
{
    // Flat pictures have no variance, so SSIM is (2ab + C1) / (a^2 + b^2 + C1) for lumas a, b.
    const Picture a = flatPicture(20, 16, 100, 100, 100);
    const Picture b = flatPicture(20, 16, 140, 140, 140);
    const double c1 = (0.01 * 255) * (0.01 * 255);
    EXPECT_NEAR(ssim(a, b), (2.0 * 100 * 140 + c1) / (100.0 * 100 + 140.0 * 140 + c1), 1e-9);
}

TEST(ImageMetrics, SsimFallsWithNoiseAndIgnoresAlpha)
{
    const Picture picture = patternPicture(40, 30);
    Picture noisy = picture;
    Picture transparent = picture;
    for (size_t p = 0; p < picture.rgba.size() / 4; ++p) {
        noisy.rgba[p * 4] = uint8_t(noisy.rgba[p * 4] ^ ((p * 2654435761u) >> 27 & 31));
        transparent.rgba[p * 4 + 3] = uint8_t(p);
    }
    const double value = ssim(picture, noisy);
    EXPECT_GT(value, 0.3);
    EXPECT_LT(value, 0.999);
    EXPECT_NEAR(ssim(picture, transparent), 1.0, 1e-12);
}

TEST(ImageMetrics, LumaIsPilsRoundedRec601)
{
    const Picture picture = flatPicture(1, 1, 255, 0, 0);
    EXPECT_EQ(pictureLuma(picture)[0], 76.0);                        // 255 * 0.299 = 76.2
    EXPECT_EQ(pictureLuma(flatPicture(1, 1, 0, 255, 0))[0], 150.0);  // 149.7, rounded
    EXPECT_EQ(pictureLuma(flatPicture(1, 1, 255, 255, 255))[0], 255.0);
}

TEST(ImageMetrics, PsnrOfAConstantOffsetIsTwentyLogOfPeakOverOffset)
{
    const Picture a = patternPicture(30, 20);
    Picture b = a;
    for (size_t i = 0; i < b.rgba.size(); ++i)
        if (i % 4 != 3)
            b.rgba[i] = uint8_t(b.rgba[i] < 128 ? b.rgba[i] + 5 : b.rgba[i] - 5);
    EXPECT_NEAR(psnr(a, b), 20.0 * std::log10(255.0 / 5.0), 1e-9);
    EXPECT_TRUE(std::isinf(psnr(a, a)));
}

TEST(ImageMetrics, RelativeMseOfFlatImagesIsTheClosedForm)
{
    EXPECT_NEAR(relativeMse(flatHdr(8, 4, 2.0f), flatHdr(8, 4, 2.5f)), 0.25 / (4.0 + 0.01), 1e-12);
    // Against a black reference the error is absolute, scaled by 1 / 0.01.
    EXPECT_NEAR(relativeMse(flatHdr(8, 4, 0.0f), flatHdr(8, 4, 0.1f)), 0.1 * 0.1 / 0.01, 1e-6);
    EXPECT_EQ(relativeMse(flatHdr(8, 4, 3.0f), flatHdr(8, 4, 3.0f)), 0.0);
}

TEST(ImageMetrics, ShareOfPixelsOffCountsPixelsWithAnyChannelBeyondTheLevels)
{
    const Picture a = patternPicture(20, 10);
    Picture b = a;
    // Every pixel 3 levels off in green (within), every fifth 4 levels off in blue alone (beyond),
    // and alpha, which is no colour, changed everywhere.
    for (size_t p = 0; p < b.rgba.size() / 4; ++p) {
        b.rgba[p * 4 + 1] = uint8_t(b.rgba[p * 4 + 1] < 128 ? b.rgba[p * 4 + 1] + 3 : b.rgba[p * 4 + 1] - 3);
        if (p % 5 == 0)
            b.rgba[p * 4 + 2] = uint8_t(b.rgba[p * 4 + 2] < 128 ? b.rgba[p * 4 + 2] + 4 : b.rgba[p * 4 + 2] - 4);
        b.rgba[p * 4 + 3] = 0;
    }
    EXPECT_DOUBLE_EQ(shareOfPixelsOff(a, b, 3), 0.2);
    EXPECT_DOUBLE_EQ(shareOfPixelsOff(a, b, 2), 1.0);
    EXPECT_DOUBLE_EQ(shareOfPixelsOff(a, b, 4), 0.0);
}

TEST(ImageMetrics, HeatMapRunsFromBlackToWhite)
{
    uint8_t rgb[3];
    heatMapColor(0.0, rgb);
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 0);
    heatMapColor(1.0, rgb);
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 3 * 255);
    heatMapColor(1e-2, rgb);  // half way: magenta to red
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
}

class CompareTool : public ::testing::Test {
protected:
    void SetUp() override { dir = OrvantaTest::makeTempDir("compare-tool"); }

    std::string writePicture(const std::string& name, const Picture& picture)
    {
        std::string error;
        EXPECT_TRUE(writePng(dir + "/" + name, picture.width, picture.height, picture.rgba, error)) << error;
        return dir + "/" + name;
    }
    std::string writeHdr(const std::string& name, const HdrImage& image)
    {
        std::string error;
        EXPECT_TRUE(writeExr(dir + "/" + name, image, error)) << error;
        return dir + "/" + name;
    }

    std::string dir;
};

TEST_F(CompareTool, PrintsEveryMetricForExrFilesWithPicturesBeside)
{
    const std::string reference = writeHdr("reference.exr", flatHdr(16, 12, 1.0f));
    writePicture("reference.png", flatPicture(16, 12, 100, 100, 100));
    const std::string test = writeHdr("test.exr", flatHdr(16, 12, 1.5f));
    writePicture("test.png", flatPicture(16, 12, 110, 110, 110));
    const ToolRun run = runCompare(reference + " " + test + " --map " + dir + "/map.png");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("relMSE  0.247524752"), std::string::npos) << run.output;  // 0.25 / 1.01
    EXPECT_NE(run.output.find("PSNR    28.1308"), std::string::npos) << run.output;      // 20 log10(25.5)
    EXPECT_NE(run.output.find("SSIM    0.99"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("off>3   1\n"), std::string::npos) << run.output;  // every pixel 10 levels off
    EXPECT_NE(runCompare(reference + " " + test + " --levels 10").output.find("off>10  0\n"), std::string::npos);
    int width = 0, height = 0;
    std::vector<uint8_t> map;
    std::string error;
    ASSERT_TRUE(readPng(dir + "/map.png", width, height, map, error)) << error;
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 12);
}

TEST_F(CompareTool, SaysNotAvailableForAMetricWithoutItsImages)
{
    const std::string reference = writeHdr("reference.exr", flatHdr(16, 12, 1.0f));  // no picture beside
    const std::string test = writeHdr("test.exr", flatHdr(16, 12, 1.0f));
    const ToolRun run = runCompare(reference + " " + test);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("relMSE  0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("PSNR    n/a"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("SSIM    n/a"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("off>3   n/a"), std::string::npos) << run.output;
}

TEST_F(CompareTool, RefusesImagesOfDifferentSizesAndUnreadableFilesWithExitTwo)
{
    const std::string small = writePicture("small.png", flatPicture(8, 8, 0, 0, 0));
    const std::string large = writePicture("large.png", flatPicture(9, 8, 0, 0, 0));
    ToolRun run = runCompare(small + " " + large);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find("differ in size"), std::string::npos) << run.output;

    for (const char* bad : {"--levels", "--levels -1", "--levels 255", "--levels 3x"}) {
        run = runCompare(small + " " + small + " " + bad);
        EXPECT_EQ(run.exitCode, 2) << bad << "\n" << run.output;
        EXPECT_NE(run.output.find("--levels needs a whole number"), std::string::npos) << run.output;
    }

    // A map that would overwrite an image compared, or cannot be written, is refused first.
    auto bytesOf = [](const std::string& path) {
        std::vector<uint8_t> bytes;
        std::string problem;
        EXPECT_TRUE(readRegularFile(path, bytes, problem)) << problem;
        return bytes;
    };
    const std::vector<uint8_t> before = bytesOf(small);
    for (const std::string& map : {small, dir + "/./large.png", dir + "/none/map.png"}) {
        run = runCompare(small + " " + large + " --map " + map);
        EXPECT_EQ(run.exitCode, 2) << map << "\n" << run.output;
        EXPECT_NE(run.output.find("--map: '" + map + "'"), std::string::npos) << run.output;
    }
    EXPECT_EQ(bytesOf(small), before);

    run = runCompare(small + " " + dir + "/missing.png");
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find(dir + "/missing.png: cannot open"), std::string::npos) << run.output;

    std::FILE* bad = std::fopen((dir + "/bad.exr").c_str(), "wb");
    std::fputs("not an image", bad);
    std::fclose(bad);
    run = runCompare(dir + "/bad.exr " + small);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find(dir + "/bad.exr: not an OpenEXR file"), std::string::npos) << run.output;
}
