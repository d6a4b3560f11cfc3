// OpenEXR and PNG files: round trips, the exposure attribute, and the refusals every loader makes.
#include "platform/HdrImage.h"
#include "platform/PngFile.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sys/stat.h>

using namespace Orvanta;

namespace {

HdrImage rampImage(int width, int height)
{
    HdrImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rgb.insert(image.rgb.end(), {x * 0.1f + 1e-7f, y * 37.5f, 1.0f / float(1 + x + y)});
    return image;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

TEST(ExrFile, FloatsAndTheExposureSurviveARoundTrip)
{
    const std::string dir = OrvantaTest::makeTempDir("exr");
    HdrImage written = rampImage(7, 5);
    written.exposure = 1.918139f;
    std::string error;
    ASSERT_TRUE(writeExr(dir + "/frame.exr", written, error)) << error;
    HdrImage read;
    ASSERT_TRUE(readExr(dir + "/frame.exr", read, error)) << error;
    EXPECT_EQ(read.width, 7);
    EXPECT_EQ(read.height, 5);
    EXPECT_EQ(read.rgb, written.rgb);  // 32-bit floats, bit for bit
    ASSERT_TRUE(read.exposure.has_value());
    EXPECT_EQ(*read.exposure, 1.918139f);

    written.exposure.reset();
    ASSERT_TRUE(writeExr(dir + "/frame.exr", written, error)) << error;
    ASSERT_TRUE(readExr(dir + "/frame.exr", read, error)) << error;
    EXPECT_FALSE(read.exposure.has_value());
}

TEST(ExrFile, WritingRefusesInconsistentImagesAndNonFiniteValues)
{
    const std::string dir = OrvantaTest::makeTempDir("exr-refuse");
    std::string error;
    HdrImage empty;
    EXPECT_FALSE(writeExr(dir + "/a.exr", empty, error));
    EXPECT_EQ(error.rfind(dir + "/a.exr: ", 0), 0u) << error;
    HdrImage shortImage = rampImage(4, 4);
    shortImage.rgb.pop_back();
    EXPECT_FALSE(writeExr(dir + "/a.exr", shortImage, error));
    HdrImage nan = rampImage(4, 4);
    nan.rgb[3 * 6 + 1] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(writeExr(dir + "/a.exr", nan, error));
    EXPECT_NE(error.find("pixel (2, 1) is not a finite number"), std::string::npos) << error;
    struct stat info;
    EXPECT_NE(::stat((dir + "/a.exr").c_str(), &info), 0) << "a refused write leaves no file";
}

TEST(ExrFile, ReadingRefusesWhatIsNotAnImageNamingTheFile)
{
    const std::string dir = OrvantaTest::makeTempDir("exr-read");
    HdrImage image;
    std::string error;
    EXPECT_FALSE(readExr(dir + "/missing.exr", image, error));
    EXPECT_EQ(error.rfind(dir + "/missing.exr: cannot open", 0), 0u) << error;
    EXPECT_FALSE(readExr(dir, image, error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
    writeBytes(dir + "/text.exr", "hello");
    EXPECT_FALSE(readExr(dir + "/text.exr", image, error));
    EXPECT_EQ(error, dir + "/text.exr: not an OpenEXR file (no OpenEXR magic number)");

    // A real file cut short: the library's complaint, once, with the file's name.
    std::string full;
    ASSERT_TRUE(writeExr(dir + "/full.exr", rampImage(32, 32), error)) << error;
    {
        std::ifstream in(dir + "/full.exr", std::ios::binary);
        full.assign(std::istreambuf_iterator<char>(in), {});
    }
    writeBytes(dir + "/cut.exr", full.substr(0, full.size() / 2));
    EXPECT_FALSE(readExr(dir + "/cut.exr", image, error));
    EXPECT_EQ(error.rfind(dir + "/cut.exr: ", 0), 0u) << error;
    EXPECT_TRUE(image.rgb.empty());
}

TEST(PngFile, PixelsSurviveARoundTrip)
{
    const std::string dir = OrvantaTest::makeTempDir("png");
    std::vector<uint8_t> rgba;
    for (int i = 0; i < 5 * 3; ++i)
        rgba.insert(rgba.end(), {uint8_t(i * 17), uint8_t(255 - i), uint8_t(i * 3), uint8_t(i == 4 ? 0 : 255)});
    std::string error;
    ASSERT_TRUE(writePng(dir + "/p.png", 5, 3, rgba, error)) << error;
    int width = 0, height = 0;
    std::vector<uint8_t> read;
    ASSERT_TRUE(readPng(dir + "/p.png", width, height, read, error)) << error;
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
    EXPECT_EQ(read, rgba);
}

TEST(PngFile, ReadingRefusesWhatIsNotAPictureNamingTheFile)
{
    const std::string dir = OrvantaTest::makeTempDir("png-read");
    int width = 1, height = 1;
    std::vector<uint8_t> pixels;
    std::string error;
    EXPECT_FALSE(readPng(dir + "/missing.png", width, height, pixels, error));
    EXPECT_EQ(error.rfind(dir + "/missing.png: cannot open", 0), 0u) << error;
    EXPECT_FALSE(readPng(dir, width, height, pixels, error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
    writeBytes(dir + "/text.png", "hello, not a picture");
    EXPECT_FALSE(readPng(dir + "/text.png", width, height, pixels, error));
    EXPECT_EQ(error, dir + "/text.png: not a PNG file (no PNG signature)");

    std::vector<uint8_t> rgba(64 * 64 * 4, 77);
    ASSERT_TRUE(writePng(dir + "/full.png", 64, 64, rgba, error)) << error;
    std::string full;
    {
        std::ifstream in(dir + "/full.png", std::ios::binary);
        full.assign(std::istreambuf_iterator<char>(in), {});
    }
    writeBytes(dir + "/cut.png", full.substr(0, full.size() / 2));
    EXPECT_FALSE(readPng(dir + "/cut.png", width, height, pixels, error));
    EXPECT_EQ(error.rfind(dir + "/cut.png: ", 0), 0u) << error;
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(pixels.empty());
}
