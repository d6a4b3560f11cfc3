// The HDR frame read back as a linear image, and a linear image shown through the frame's tone
// map: checked against the frame's own rendering, never against a re-typed tone-map formula.
#include "RendererTestScene.h"

#include "platform/FrameTimer.h"
#include "platform/gl/GlDebug.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

class LinearImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVANTA_REQUIRE_GL();
        ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
        showInstances(testWorld().instances);
    }
    void TearDown() override
    {
        if (!testWorld().renderer)
            return;
        testWorld().renderer->setFixedExposure(0.0f);
        testWorld().renderer->setRenderSetting(AntiAliasing, true);
    }

    Renderer& renderer() { return *testWorld().renderer; }
    std::vector<uint8_t> windowPixels() { return testWorld().window->headless()->readPixels(); }
    // Renders frames and returns the last one's window pixels.
    std::vector<uint8_t> renderFrames(int count)
    {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < count; ++i) {
            frameTimer().elapsedSeconds = 0.5f;
            pixels = renderPixels();
        }
        return pixels;
    }
    std::vector<uint8_t> present(const HdrImage& image, float exposure)
    {
        std::string error;
        EXPECT_TRUE(renderer().presentLinearImage(image, exposure, error)) << error;
        return windowPixels();
    }
};

const float* pixelAt(const HdrImage& image, int x, int y)
{
    return &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
}

const uint8_t* pixelAt(const std::vector<uint8_t>& rgba, int width, int x, int y)
{
    return &rgba[(static_cast<size_t>(y) * width + x) * 4];
}

}  // namespace

TEST_F(LinearImage, TheFrameReadBackAndShownAtItsFixedExposureGivesTheFramesPixels)
{
    renderer().setFixedExposure(1.3f);
    const std::vector<uint8_t> frame = renderFrames(2);
    const int errors = glErrorTotal();
    const HdrImage image = renderer().readLinearFrame();
    ASSERT_EQ(image.width, 160);
    ASSERT_EQ(image.height, 90);
    ASSERT_TRUE(image.exposure.has_value());
    EXPECT_EQ(*image.exposure, 1.3f);
    EXPECT_EQ(present(image, 1.3f), frame);
    EXPECT_EQ(glErrorTotal(), errors);
}

TEST_F(LinearImage, TheAdaptedExposureReadBackIsTheOneTheToneMapUsed)
{
    const std::vector<uint8_t> frame = renderFrames(3);
    const HdrImage image = renderer().readLinearFrame();
    ASSERT_TRUE(image.exposure.has_value());
    EXPECT_GT(*image.exposure, 0.0f);
    // Shown again at the read-back exposure, byte for byte the adapted frame.
    EXPECT_EQ(present(image, *image.exposure), frame);
    // Any other exposure shows another picture: the comparison above can fail.
    EXPECT_NE(present(image, *image.exposure * 1.5f), frame);
}

TEST_F(LinearImage, AFlatValueComesOutAsTheFrameShowsThatValueTopRowsFirst)
{
    // The tone map alone: the edge smoothing would blend the two halves along their border.
    renderer().setRenderSetting(AntiAliasing, false);
    renderer().setFixedExposure(0.8f);
    const std::vector<uint8_t> frame = renderFrames(2);
    const HdrImage hdr = renderer().readLinearFrame();
    // Two HDR values of the frame: a sky pixel near the top, a ground pixel near the bottom.
    const int topX = 80, topY = 2, bottomX = 80, bottomY = 87;
    const float* top = pixelAt(hdr, topX, topY);
    const float* bottom = pixelAt(hdr, bottomX, bottomY);
    const uint8_t* topShown = pixelAt(frame, 160, topX, topY);
    const uint8_t* bottomShown = pixelAt(frame, 160, bottomX, bottomY);
    ASSERT_NE(std::vector<uint8_t>(topShown, topShown + 3), std::vector<uint8_t>(bottomShown, bottomShown + 3))
        << "the two values must look different for the halves to be told apart";

    HdrImage halves;
    halves.width = 160;
    halves.height = 90;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 160; ++x) {
            const float* value = y < 45 ? top : bottom;
            halves.rgb.insert(halves.rgb.end(), value, value + 3);
        }
    const std::vector<uint8_t> shown = present(halves, 0.8f);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 160; ++x) {
            const uint8_t* expected = y < 45 ? topShown : bottomShown;
            const uint8_t* got = pixelAt(shown, 160, x, y);
            ASSERT_TRUE(got[0] == expected[0] && got[1] == expected[1] && got[2] == expected[2])
                << "pixel (" << x << ", " << y << "): " << int(got[0]) << " " << int(got[1]) << " " << int(got[2])
                << ", the frame shows " << int(expected[0]) << " " << int(expected[1]) << " " << int(expected[2]);
        }
}

TEST_F(LinearImage, AnImageOfAnotherSizeOrAnExposureNotAboveZeroIsRefused)
{
    HdrImage small;
    small.width = 16;
    small.height = 9;
    small.rgb.assign(16 * 9 * 3, 1.0f);
    std::string error;
    EXPECT_FALSE(renderer().presentLinearImage(small, 1.0f, error));
    EXPECT_NE(error.find("16 x 9"), std::string::npos) << error;
    EXPECT_NE(error.find("160 x 90"), std::string::npos) << error;

    HdrImage fits;
    fits.width = 160;
    fits.height = 90;
    fits.rgb.assign(160 * 90 * 3, 1.0f);
    EXPECT_FALSE(renderer().presentLinearImage(fits, 0.0f, error));
    EXPECT_NE(error.find("exposure"), std::string::npos) << error;
}
