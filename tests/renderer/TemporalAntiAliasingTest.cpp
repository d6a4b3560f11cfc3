// Temporal anti-aliasing in the frame, on the test world's still view at a fixed exposure: after
// one period of sub-pixel offsets the edges are at most a quarter as far from the same view
// rendered at 8 x 8 the size with anti-aliasing off and box-filtered in linear light as the
// unjittered frame is, surfaces away from the edges keep their colour, and switching anti-aliasing
// off gives the unjittered frame's bytes again whatever the history held.
#include "RendererTestScene.h"

#include "platform/HeadlessContext.h"
#include "scene/SrgbCurve.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

// 8 x 8 samples a pixel: a 4 x 4 grid measures the coverage of the test world's level edges only
// to a quarter, coarser than the 16 offsets do.
constexpr int factor = 8;

std::vector<uint8_t> frameAfter(int frames)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < frames; ++i)
        pixels = renderPixels();
    return pixels;
}

// The large picture's factor x factor blocks averaged in linear light, as RGBA8.
std::vector<uint8_t> boxFiltered(const std::vector<uint8_t>& large, int width, int height)
{
    std::vector<uint8_t> small(static_cast<size_t>(width) * height * 4, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                float sum = 0.0f;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += srgbByteToLinear(
                            large[(static_cast<size_t>(y * factor + dy) * width * factor + x * factor + dx) * 4 + c]);
                small[(static_cast<size_t>(y) * width + x) * 4 + c] = linearToSrgbByte(sum / (factor * factor));
            }
    return small;
}

// The largest difference of any channel within the pixel's 3 x 3 neighbourhood.
int neighbourhoodRange(const std::vector<uint8_t>& rgba, int width, int x, int y)
{
    int range = 0;
    for (int c = 0; c < 3; ++c) {
        int lo = 255, hi = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int v = rgba[(static_cast<size_t>(y + dy) * width + x + dx) * 4 + c];
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        range = std::max(range, hi - lo);
    }
    return range;
}

double pixelDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t pixel)
{
    double sum = 0.0;
    for (int c = 0; c < 3; ++c)
        sum += std::abs(a[pixel * 4 + c] - b[pixel * 4 + c]);
    return sum / 3.0;
}

}  // namespace

TEST(TemporalAntiAliasing, AStillViewConvergesTowardItsSupersampledPicture)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    Renderer& renderer = *testWorld().renderer;
    const int width = renderer.width(), height = renderer.height();
    const float exposure = RendererTestAccess::hdrSet(renderer).fixedExposure;
    showInstances(testWorld().instances);
    renderer.setFixedExposure(1.5f);
    renderer.setRenderSetting(AntiAliasing, false);
    // Until a sky lighting rebuild that an earlier test started (one slice a frame) has ended.
    const std::vector<uint8_t> aliased = frameAfter(18);

    testWorld().window->headless()->resize(width * factor, height * factor);
    const std::vector<uint8_t> truth = boxFiltered(frameAfter(2), width, height);
    testWorld().window->headless()->resize(width, height);

    renderer.setRenderSetting(AntiAliasing, true);
    const std::vector<uint8_t> resolved = frameAfter(static_cast<int>(TemporalJitterPeriod));
    renderer.setRenderSetting(AntiAliasing, false);
    const std::vector<uint8_t> aliasedAgain = frameAfter(1);
    renderer.setFixedExposure(exposure);

    EXPECT_EQ(aliasedAgain, aliased) << "anti-aliasing off must draw the unjittered frame";
    double edgeAliased = 0.0, edgeResolved = 0.0, flatChange = 0.0;
    int edges = 0, flat = 0;
    for (int y = 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            const int range = std::max(neighbourhoodRange(aliased, width, x, y),
                                       neighbourhoodRange(truth, width, x, y));
            if (range > 24) {
                edgeAliased += pixelDifference(aliased, truth, i);
                edgeResolved += pixelDifference(resolved, truth, i);
                ++edges;
            } else if (range < 3) {
                flatChange += pixelDifference(resolved, aliased, i);
                ++flat;
            }
        }
    ASSERT_GT(edges, 100);
    ASSERT_GT(flat, 1000);
    EXPECT_LT(edgeResolved, 0.25 * edgeAliased) << "mean error over " << edges << " edge pixels: unjittered "
                                                << edgeAliased / edges << ", resolved " << edgeResolved / edges;
    EXPECT_LT(flatChange / flat, 0.25) << "over " << flat << " pixels away from edges";
}
