#include "content/RtImage.h"
#include "gpu/ShaderProgram.h"
#include "gpu/ShaderSource.h"
#include "gpu/Texture.h"
#include "gpu/TgaFile.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "renderer/FrameBuffer.h"
#include "renderer/FullScreenQuad.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

using namespace Orvanta;

namespace {

// Blue, green, red (, alpha) bytes from a function of the texel position.
template <typename Bytes>
TgaImage makeImage(uint32_t width, uint32_t height, uint32_t bits, Bytes bytes)
{
    TgaImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            std::array<uint8_t, 4> b = bytes(x, y);
            for (uint32_t i = 0; i < bits / 8; ++i)
                image.pixels.push_back(b[i]);
        }
    return image;
}

}  // namespace

TEST(RtImage, PowerOfTwoImageGetsFullChainAveragingOnlyExistingNeighbours)
{
    const TgaImage tga = makeImage(256, 64, 32, [](uint32_t x, uint32_t y) {
        return std::array<uint8_t, 4>{uint8_t(x), uint8_t(y * 4), uint8_t(255 - x), uint8_t(x % 2 ? 255 : 0)};
    });
    const RtImage image = buildRtImage(tga, false);

    const std::vector<std::pair<uint32_t, uint32_t>> sizes = {{256, 64}, {128, 32}, {64, 16}, {32, 8}, {16, 4},
                                                              {8, 2},    {4, 1},    {2, 1},   {1, 1}};
    ASSERT_EQ(image.levels.size(), sizes.size());
    for (size_t j = 0; j < sizes.size(); ++j) {
        EXPECT_EQ(image.levels[j].width, sizes[j].first) << "level " << j;
        EXPECT_EQ(image.levels[j].height, sizes[j].second) << "level " << j;
        EXPECT_EQ(image.levels[j].texels.size(), size_t(sizes[j].first) * sizes[j].second);
    }

    // Level 0: red from byte 2, blue from byte 0, alpha from byte 3.
    const RtTexel& t = image.levels[0].texel(3, 2);
    EXPECT_FLOAT_EQ(t.r, 252.0f / 255.0f);
    EXPECT_FLOAT_EQ(t.g, 8.0f / 255.0f);
    EXPECT_FLOAT_EQ(t.b, 3.0f / 255.0f);
    EXPECT_FLOAT_EQ(t.a, 1.0f);

    // Level 1 averages 2 x 2 blocks: alpha alternates by column, so every block averages to 0.5.
    // Each level keeps the 8 bits a channel of the GL texture's level keeps: halves round to even.
    const RtTexel& m = image.levels[1].texel(5, 7);
    EXPECT_NEAR(m.a, 128.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(m.b, 10.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(m.g, 58.0f / 255.0f, 1e-6f);

    // Levels built from a 1-row level (4 x 1 and 2 x 1) average horizontal pairs only.
    for (size_t j = 7; j < sizes.size(); ++j) {
        const RtImageLevel& previous = image.levels[j - 1];
        const RtImageLevel& level = image.levels[j];
        for (uint32_t x = 0; x < level.width; ++x) {
            const RtTexel& a = previous.texel(2 * x, 0);
            const RtTexel& b = previous.texel(2 * x + 1, 0);
            const float rounding = 0.5f / 255.0f + 1e-6f;
            EXPECT_NEAR(level.texel(x, 0).r, (a.r + b.r) / 2, rounding) << "level " << j;
            EXPECT_NEAR(level.texel(x, 0).g, (a.g + b.g) / 2, rounding) << "level " << j;
            EXPECT_NEAR(level.texel(x, 0).a, (a.a + b.a) / 2, rounding) << "level " << j;
        }
    }
    // The 4 x 1 level still averages 2 x 2 blocks of the 8 x 2 level, so the last level is the mean
    // of the whole image.
    EXPECT_NEAR(image.levels[8].texel(0, 0).a, 0.5f, 1.0f / 255.0f);
    EXPECT_NEAR(image.levels[8].texel(0, 0).b, 127.5f / 255.0f, 1.0f / 255.0f);

    for (const RtImageLevel& level : image.levels)
        EXPECT_EQ(reinterpret_cast<uintptr_t>(level.texels.data()) % 16, 0u);
}

TEST(RtImage, NonPowerOfTwoLevelsHalveRoundingDownAnd24BitImagesAreOpaque)
{
    const auto grey = [](uint32_t, uint32_t) { return std::array<uint8_t, 4>{10, 20, 30, 0}; };
    const RtImage square = buildRtImage(makeImage(100, 100, 24, grey), false);
    ASSERT_EQ(square.levels.size(), 7u);  // 100, 50, 25, 12, 6, 3, 1: GL's sizes
    EXPECT_EQ(square.levels[3].width, 12u);
    EXPECT_EQ(square.levels[6].height, 1u);
    EXPECT_FLOAT_EQ(square.levels[6].texel(0, 0).r, 30.0f / 255.0f);
    EXPECT_EQ(buildRtImage(makeImage(64, 48, 24, grey), false).levels.size(), 7u);

    const RtImage opaque = buildRtImage(makeImage(8, 4, 24, grey), true);
    ASSERT_EQ(opaque.levels.size(), 4u);
    for (const RtImageLevel& level : opaque.levels)
        for (const RtTexel& texel : level.texels)
            ASSERT_EQ(texel.a, 1.0f);
}

// Reference values of the sRGB standard's curve: byte 10 lies on its straight segment near black
// (10 / 255 / 12.92), bytes 128 and 188 on its power segment; a 2.2 power would give 0.0008,
// 0.2195 and 0.5114.
TEST(RtImage, SrgbDecodingFollowsTheExactCurveForColourButNotAlpha)
{
    const auto bytes = [](uint32_t, uint32_t) { return std::array<uint8_t, 4>{10, 128, 188, 128}; };
    const RtTexel linear = buildRtImage(makeImage(1, 1, 32, bytes), true).levels[0].texel(0, 0);
    EXPECT_NEAR(linear.r, 0.5028865f, 1e-6f);
    EXPECT_NEAR(linear.g, 0.2158605f, 1e-6f);
    EXPECT_NEAR(linear.b, 0.0030353f, 1e-7f);
    EXPECT_FLOAT_EQ(linear.a, 128.0f / 255.0f);

    const RtTexel raw = buildRtImage(makeImage(1, 1, 32, bytes), false).levels[0].texel(0, 0);
    EXPECT_FLOAT_EQ(raw.g, 128.0f / 255.0f);
}

// The albedo the G-buffer sees: a GL_SRGB8 texture of every byte value, drawn one texel per pixel
// into a float target. Hardware decodes sRGB exactly; llvmpipe approximates the curve to within
// 0.0012 of it, hence the tolerance (a 2.2 power strays up to 0.0094).
TEST(RtImage, DecodedBytesMatchWhatTheGlSamplerReturns)
{
    ORVANTA_REQUIRE_GL();
    const auto grey = [](uint32_t x, uint32_t) { return std::array<uint8_t, 4>{uint8_t(x), uint8_t(x), uint8_t(x)}; };
    const TgaImage ramp = makeImage(256, 1, 24, grey);
    FrameBuffer target;  // bound by create
    target.create(256, 1);
    target.addColorAttachment(0, PixelFormatRgba32F, 0, false);
    glViewport(0, 0, 256, 1);
    Texture2D encoded;
    Orvanta::glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, encoded.name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8, 256, 1, 0, GL_BGR, GL_UNSIGNED_BYTE, ramp.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    ShaderProgram sampling;  // its sampler reads unit 0, the default
    ShaderSource source;
    source.sources = {"#version 120\nuniform sampler2D image;\n"
                      "void main() { gl_FragColor = texture2D(image, gl_TexCoord[0].xy); }\n"};
    createProgramObject(sampling);
    attachFragmentShader(sampling, source);
    linkProgram(sampling, {});
    beginFullScreenPass();
    drawFullScreenQuad({});
    endFullScreenPass();
    float red[256];
    glReadPixels(0, 0, 256, 1, GL_RED, GL_FLOAT, red);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    Orvanta::glUseProgramObjectARB(0);
    const RtImage decoded = buildRtImage(ramp, true);
    for (uint32_t i = 0; i < 256; ++i)
        EXPECT_NEAR(decoded.levels[0].texel(i, 0).r, red[i], 0.0015f) << "byte " << i;
}

TEST(RtImage, CacheKeepsTheFirstDecodingAndReportsUnreadableFiles)
{
    const std::string dir = OrvantaTest::makeTempDir("rtimage");
    const std::string path = dir + "/shared.tga";
    std::string error;
    ASSERT_TRUE(writeTgaFile(path, 1, 1, 24, {64, 128, 200}, error)) << error;

    RtImage* first = findOrLoadImage(path, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(findOrLoadImage(path, false), first);
    EXPECT_NEAR(first->levels[0].texel(0, 0).g, 0.2158605f, 1e-6f);

    std::string logged;
    setLogSink([&](const std::string& message) { logged += message + "\n"; });
    RtImage* missing = findOrLoadImage(dir + "/missing.tga", false);
    setLogSink(nullptr);
    EXPECT_EQ(missing, nullptr);
    EXPECT_NE(logged.find("missing.tga"), std::string::npos) << logged;
}
