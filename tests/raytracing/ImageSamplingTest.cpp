#include "raytracing/ImageSampling.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

// Each level is filled with its own index in red so the chosen level is visible in the result;
// green encodes the texel's x and blue its y on level 0.
RtImage makeChain(uint32_t size, uint32_t levels)
{
    RtImage image;
    for (uint32_t l = 0; l < levels; ++l) {
        RtImageLevel level;
        level.width = level.height = std::max(1u, size >> l);
        for (uint32_t y = 0; y < level.height; ++y)
            for (uint32_t x = 0; x < level.width; ++x)
                level.texels.push_back({float(l), float(x), float(y), 1.0f});
        image.levels.push_back(level);
    }
    return image;
}

float sampledLevel(const RtImage& image, float footprintTexels)
{
    float d = footprintTexels / float(image.levels[0].width);
    return sampleImage(image, 0.0f, 0.0f, d, 0.0f, 0.0f, 0.0f).r;
}

}  // namespace

TEST(ImageSampling, LevelFollowsFootprint)
{
    RtImage image = makeChain(16, 5);
    EXPECT_EQ(sampledLevel(image, 0.0f), 0.0f);
    EXPECT_EQ(sampledLevel(image, 0.5f), 0.0f);
    EXPECT_EQ(sampledLevel(image, 1.0f), 0.0f);
    EXPECT_EQ(sampledLevel(image, 1.5f), 1.0f);
    EXPECT_EQ(sampledLevel(image, 2.5f), 2.0f);
    EXPECT_EQ(sampledLevel(image, 4.0f), 2.0f);
    EXPECT_EQ(sampledLevel(image, 4.5f), 3.0f);
    // The larger of the two axes' footprints decides, and v is scaled by the height.
    EXPECT_EQ(sampleImage(image, 0, 0, 0.0f, 0.0f, 0.0f, 3.0f / 16.0f).r, 2.0f);
}

TEST(ImageSampling, LevelClampsToLastLevel)
{
    RtImage image = makeChain(4, 2);
    EXPECT_EQ(sampledLevel(image, 3.0f), 1.0f);
    EXPECT_EQ(sampledLevel(image, 1000.0f), 1.0f);
}

TEST(ImageSampling, BilinearWithoutHalfTexelOffset)
{
    RtImage image = makeChain(4, 1);
    SampledColor c = sampleImage(image, 0.25f, 0.5f, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.g, 1.0f);
    EXPECT_FLOAT_EQ(c.b, 2.0f);
    c = sampleImage(image, 0.375f, 0.125f, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.g, 1.5f);
    EXPECT_FLOAT_EQ(c.b, 0.5f);
}

TEST(ImageSampling, RepeatAddressingWrapsBothWays)
{
    RtImage image = makeChain(4, 1);
    // Last column blends with the first: x = 3.5 mixes texel 3 and texel 0.
    SampledColor c = sampleImage(image, 0.875f, 0.0f, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.g, 1.5f);
    // -0.25 is the same place as 0.75, 1.25 the same as 0.25.
    c = sampleImage(image, -0.25f, 1.25f, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.g, 3.0f);
    EXPECT_FLOAT_EQ(c.b, 1.0f);
    c = sampleImage(image, -1.875f, -0.5f, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.g, 0.5f);
    EXPECT_FLOAT_EQ(c.b, 2.0f);
    // Non-power-of-two sizes wrap exactly as well.
    RtImage odd = makeChain(3, 1);
    c = sampleImage(odd, -1.0f / 3.0f, 0.0f, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(c.g, 2.0f);
}

TEST(ImageSampling, BadInputDoesNotCrash)
{
    RtImage empty;
    SampledColor c = sampleImage(empty, 0.5f, 0.5f, 1, 1, 1, 1);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.a, 1.0f);
    RtImage image = makeChain(4, 3);
    float inf = std::numeric_limits<float>::infinity();
    float nan = std::numeric_limits<float>::quiet_NaN();
    c = sampleImage(image, nan, inf, nan, inf, 0, 0);
    EXPECT_EQ(c.a, 1.0f);
    c = sampleImage(image, 1e30f, -1e30f, 0, 0, 0, 0);
    EXPECT_EQ(c.a, 1.0f);
}
