// The frame's post-process edge smoothing (anti-aliasing on, its temporal part off), seen through
// presentLinearImage (the tone map and the smoothing of a frame, on an image the test draws): a
// flat colour passes untouched, a hard diagonal edge
// moves toward the area coverage a brute-force supersampling gives, and the overlay drawn after
// it keeps its hard edges.
#include "RendererTestScene.h"

#include "platform/gl/GlExtensions.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "scene/SrgbCurve.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

constexpr int width = 160;
constexpr int height = 90;
constexpr float exposure = 1.0f;

// Bright above a shallow line (rows from the top), black below: a staircase with steps of two
// and three pixels, the kind that shows on roof edges.
bool bright(double x, double y)
{
    return y < 20.0 + 0.4 * x;
}

// The fraction of pixel (x, y) on the bright side, by 16 x 16 samples.
double coverage(int x, int y)
{
    int inside = 0;
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i)
            inside += bright(x + (i + 0.5) / 16.0, y + (j + 0.5) / 16.0) ? 1 : 0;
    return inside / 256.0;
}

HdrImage pictureOf(float (*value)(int x, int y, int channel))
{
    HdrImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.rgb.push_back(value(x, y, c));
    return image;
}

// Draws a white triangle with a long diagonal edge over the window in pixel coordinates, with
// the fixed-function pipeline, leaving the GL state as it found it.
class TriangleOverlay : public FrameOverlay {
public:
    void drawOverlay(const OverlayTarget&) override
    {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBegin(GL_TRIANGLES);
        glVertex2f(10.0f, 10.0f);
        glVertex2f(150.0f, 10.0f);
        glVertex2f(150.0f, 70.0f);
        glEnd();
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
};

class AntiAliasingPass : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVANTA_REQUIRE_GL();
        ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
        renderer().setRenderSetting(TemporalAntiAliasing, false);
    }
    void TearDown() override
    {
        if (!testWorld().renderer)
            return;
        renderer().setRenderSetting(AntiAliasing, false);
        renderer().setRenderSetting(TemporalAntiAliasing, true);
        renderer().attachOverlay(nullptr);
    }

    Renderer& renderer() { return *testWorld().renderer; }
    std::vector<uint8_t> present(const HdrImage& image, bool smoothing)
    {
        renderer().setRenderSetting(AntiAliasing, smoothing);
        std::string error;
        EXPECT_TRUE(renderer().presentLinearImage(image, exposure, error)) << error;
        return testWorld().window->headless()->readPixels();
    }
};

}  // namespace

TEST_F(AntiAliasingPass, LeavesAFlatColourByteForByte)
{
    // A dark, a saturated and a bright colour: the sRGB round trip through the pass's input must
    // give back every byte, in the darks too.
    const float colours[3][3] = {{0.004f, 0.003f, 0.006f}, {0.9f, 0.25f, 0.05f}, {3.0f, 3.2f, 2.5f}};
    for (const auto& colour : colours) {
        static const float* current;
        current = colour;
        const HdrImage flat = pictureOf([](int, int, int c) { return current[c]; });
        const std::vector<uint8_t> plain = present(flat, false);
        EXPECT_EQ(present(flat, true), plain) << "colour " << colour[0] << " " << colour[1] << " " << colour[2];
    }
}

TEST_F(AntiAliasingPass, PullsAHardDiagonalEdgeTowardItsCoverage)
{
    const HdrImage edge = pictureOf([](int x, int y, int) { return bright(x + 0.5, y + 0.5) ? 2.0f : 0.0f; });
    const std::vector<uint8_t> aliased = present(edge, false);
    const std::vector<uint8_t> smoothed = present(edge, true);
    // The bright side as shown; black stays black through the tone map.
    const uint8_t brightByte = aliased[0];
    ASSERT_GT(brightByte, 100);
    ASSERT_EQ(aliased[(static_cast<size_t>(height - 1) * width) * 4], 0);
    const float brightLinear = srgbByteToLinear(brightByte);

    // Edge pixels: partly covered, or beside one that is. Their truth is the covered fraction of
    // the bright side's light, encoded as the window encodes it.
    double errorAliased = 0.0, errorSmoothed = 0.0;
    int edgePixels = 0, softened = 0;
    for (int y = 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x) {
            bool edgeNear = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const double c = coverage(x + dx, y + dy);
                    edgeNear = edgeNear || (c > 0.0 && c < 1.0);
                }
            if (!edgeNear)
                continue;
            const int truth = linearToSrgbByte(static_cast<float>(coverage(x, y)) * brightLinear);
            const size_t i = (static_cast<size_t>(y) * width + x) * 4;
            errorAliased += std::abs(aliased[i] - truth);
            errorSmoothed += std::abs(smoothed[i] - truth);
            softened += smoothed[i] != 0 && smoothed[i] != brightByte ? 1 : 0;
            ++edgePixels;
        }
    ASSERT_GT(edgePixels, 300);
    EXPECT_GT(softened, edgePixels / 4) << "the edge kept its hard steps";
    EXPECT_LT(errorSmoothed, 0.5 * errorAliased)
        << "mean error over " << edgePixels << " edge pixels: aliased " << errorAliased / edgePixels << ", smoothed "
        << errorSmoothed / edgePixels;
}

TEST_F(AntiAliasingPass, LeavesTheOverlayDrawnAfterItUntouched)
{
    TriangleOverlay overlay;
    renderer().attachOverlay(&overlay);
    const HdrImage black = pictureOf([](int, int, int) { return 0.0f; });
    const std::vector<uint8_t> shown = present(black, true);
    int white = 0;
    for (size_t i = 0; i < shown.size(); i += 4)
        for (int c = 0; c < 3; ++c) {
            ASSERT_TRUE(shown[i + c] == 0 || shown[i + c] == 255)
                << "pixel " << i / 4 % width << ", " << i / 4 / width << " holds " << int(shown[i + c]);
            white += shown[i + c] == 255 ? 1 : 0;
        }
    EXPECT_GT(white, 3 * 3000);
}
