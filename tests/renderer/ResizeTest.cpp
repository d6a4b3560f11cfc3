#include "RendererTestScene.h"

#include "platform/gl/GlDebug.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "renderer/GlStateCheck.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

std::vector<uint8_t> frameAt(int width, int height)
{
    testWorld().window->headless()->resize(width, height);
    std::vector<uint8_t> pixels;
    // The first frame at the new size, and one more that starts from its state.
    for (int i = 0; i < 2; ++i)
        pixels = renderPixels();
    return pixels;
}

// The mean absolute difference (in levels) between a picture and another of twice its size
// averaged down over 2 x 2 blocks.
double differenceToHalved(const std::vector<uint8_t>& small, const std::vector<uint8_t>& large, int width, int height)
{
    double sum = 0.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                double block = 0.0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        block += large[(size_t((2 * y + dy) * 2 * width + 2 * x + dx)) * 4 + c];
                sum += std::abs(block / 4.0 - small[(size_t(y * width + x)) * 4 + c]);
            }
    return sum / (double(width) * height * 3);
}

}  // namespace

TEST(RendererResize, EveryScreenTargetFollowsTheWindowAndTheFrameStaysTheSamePicture)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    Renderer& renderer = *testWorld().renderer;
    const int width = renderer.width(), height = renderer.height();
    showInstances(testWorld().instances);
    renderer.setFixedExposure(1.5f);
    // Until a sky lighting rebuild that an earlier test started (one slice a frame) has ended.
    for (int i = 0; i < 18; ++i)
        renderPixels();
    const std::vector<uint8_t> before = frameAt(width, height);

    const int errors = glErrorTotal(), violations = conventionViolationTotal();
    const std::vector<uint8_t> doubled = frameAt(2 * width, 2 * height);
    EXPECT_EQ(glErrorTotal(), errors);
    EXPECT_EQ(conventionViolationTotal(), violations);
    const HdrImage linear = renderer.readLinearFrame();
    EXPECT_EQ(linear.width, 2 * width);
    EXPECT_EQ(linear.height, 2 * height);
    EXPECT_EQ(RendererTestAccess::gBuffer(renderer).frameBuffer.width, 2 * width);
    EXPECT_EQ(RendererTestAccess::hdrSet(renderer).scene.height, 2 * height);
    EXPECT_EQ(RendererTestAccess::ssaoSet(renderer).blur.width, 2 * width);
    EXPECT_EQ(RendererTestAccess::ssaoSet(renderer).depth.height, height);
    EXPECT_EQ(renderer.rayTracingSet().width, width);
    EXPECT_FLOAT_EQ(renderer.camera().aspectRatio, float(width) / float(height));
    // The same view at twice the resolution: averaged down it is the first picture, up to edges.
    EXPECT_LT(differenceToHalved(before, doubled, width, height), 4.0);

    // A narrower window widens nothing: the aspect follows, and the way back restores the picture.
    frameAt(width, 2 * height);
    EXPECT_FLOAT_EQ(renderer.camera().aspectRatio, 0.5f * float(width) / float(height));
    const std::vector<uint8_t> after = frameAt(width, height);
    EXPECT_EQ(glErrorTotal(), errors);
    size_t off = 0;
    for (size_t i = 0; i < after.size(); ++i)
        off += std::abs(int(after[i]) - int(before[i])) > 2;
    EXPECT_EQ(off, 0u);

    renderer.setFixedExposure(0.0f);
}
