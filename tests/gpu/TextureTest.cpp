#include "gpu/Texture.h"
#include "gpu/ResourceCache.h"
#include "gpu/TgaFile.h"

#include "GpuTestSupport.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

using namespace Orvanta;

namespace {

std::vector<uint8_t> tgaBytes(uint16_t width, uint16_t height, uint8_t bits, const std::vector<uint8_t>& storedRows)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(18 + storedRows.size());
    bytes.resize(18, 0);
    bytes[2] = 2;
    bytes[12] = width & 0xFF;
    bytes[13] = width >> 8;
    bytes[14] = height & 0xFF;
    bytes[15] = height >> 8;
    bytes[16] = bits;
    bytes.insert(bytes.end(), storedRows.begin(), storedRows.end());
    return bytes;
}

GLint textureParameter(GLenum target, GLenum parameter)
{
    GLint value = 0;
    glGetTexParameteriv(target, parameter, &value);
    return value;
}

}  // namespace

TEST(TgaLoading, StoredRowsAreReversed)
{
    std::string dir = OrvantaTest::makeTempDir("tga");
    // First stored row red, red; second green, green (blue-green-red bytes).
    std::vector<uint8_t> rows = {0, 0, 255, 0, 0, 255, 0, 255, 0, 0, 255, 0};
    std::string path = OrvantaTest::writeBinaryFile(dir, "rows.tga", tgaBytes(2, 2, 24, rows));
    Image image;
    ASSERT_TRUE(loadTga(image, path, false));
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.format, PixelFormatBgr8);
    std::vector<uint8_t> expected = {0, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255};
    EXPECT_EQ(image.pixels, expected);
}

TEST(TgaLoading, DepthAndGammaChooseTheFormat)
{
    std::string dir = OrvantaTest::makeTempDir("tga");
    std::string rgba = OrvantaTest::writeBinaryFile(dir, "rgba.tga", tgaBytes(1, 1, 32, {1, 2, 3, 4}));
    std::string rgb = OrvantaTest::writeBinaryFile(dir, "rgb.tga", tgaBytes(1, 1, 24, {1, 2, 3}));
    Image image;
    ASSERT_TRUE(loadTga(image, rgba, false));
    EXPECT_EQ(image.format, PixelFormatBgra8);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 4}));
    ASSERT_TRUE(loadTga(image, rgba, true));
    EXPECT_EQ(image.format, PixelFormatSrgbBgra8);
    ASSERT_TRUE(loadTga(image, rgb, true));
    EXPECT_EQ(image.format, PixelFormatSrgbBgr8);
}

TEST(TgaLoading, BadFilesGiveOneMessageAndAWhiteTexel)
{
    std::string dir = OrvantaTest::makeTempDir("tga");
    std::string truncated = OrvantaTest::writeBinaryFile(dir, "short.tga", tgaBytes(4, 4, 24, {1, 2, 3}));
    std::string sixteenBit = OrvantaTest::writeBinaryFile(dir, "16bit.tga", tgaBytes(1, 1, 16, {1, 2}));
    for (const std::string& path : {truncated, sixteenBit, dir + "/absent.tga"}) {
        OrvantaTest::LogCapture log;
        Image image;
        EXPECT_FALSE(loadTga(image, path, false));
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_TRUE(log.contains(path));
        EXPECT_EQ(image.width, 1u);
        EXPECT_EQ(image.height, 1u);
        EXPECT_EQ(image.pixels, (std::vector<uint8_t>{255, 255, 255, 255}));
    }
}

TEST(TgaLoading, WriterAndReaderRoundTrip)
{
    std::string dir = OrvantaTest::makeTempDir("tga");
    std::vector<uint8_t> stored = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::string error;
    ASSERT_TRUE(writeTgaFile(dir + "/out.tga", 1, 3, 32, stored, error)) << error;
    TgaImage image;
    ASSERT_TRUE(readTgaFile(dir + "/out.tga", image, error)) << error;
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}));
    EXPECT_FALSE(writeTgaFile(dir + "/bad.tga", 3, 3, 24, stored, error));
    EXPECT_FALSE(std::fopen((dir + "/bad.tga").c_str(), "rb"));
}

TEST(TextureCache, SamePathGivesTheSameTextureAndReadsTheFileOnce)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("texcache");
    std::string path = OrvantaTest::writeBinaryFile(dir, "once.tga", tgaBytes(2, 2, 32, std::vector<uint8_t>(16, 200)));
    Texture2D* first = getTexture(path, false);
    ASSERT_TRUE(first);
    // With the file gone a second read would fail and log; the cache must answer instead.
    std::remove(path.c_str());
    OrvantaTest::LogCapture log;
    EXPECT_EQ(getTexture(path, true), first);
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(first->hasMipmaps);

    glBindTexture(GL_TEXTURE_2D, first->name);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R), GL_REPEAT);
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions && std::strstr(extensions, "GL_EXT_texture_filter_anisotropic")) {
        GLfloat anisotropy = 0;
        glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
        // llvmpipe's anisotropic filter has no cost bound (seconds for a small frame of leaf
        // cards seen edge-on), so there the textures stay trilinear.
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        bool llvmpipe = renderer && std::strstr(renderer, "llvmpipe");
        EXPECT_FLOAT_EQ(anisotropy, llvmpipe ? 1.0f : 16.0f) << (renderer ? renderer : "?");
    }
    GLint internalFormat = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    EXPECT_EQ(internalFormat, GL_RGBA8);
    EXPECT_EQ(checkGlErrors("texture cache test"), 0);
}

// Every level of an image texture keeps the image's mean: a normal map whose texels average flat
// stays flat far away (llvmpipe's own generated levels gained half a step per level, 3 steps by
// the 8 x 8 level of a 512 x 512 map, and leaned every distant bumpy surface 1.3 degrees). An sRGB
// image's levels average light, not its encoding: black and white average to byte 188.
TEST(TextureCache, EveryLevelKeepsTheImagesMeanAndSrgbLevelsAverageLight)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("texlevels");
    const uint32_t size = 256;
    std::vector<uint8_t> noise(size * size * 3), checker(size * size * 3);
    uint32_t state = 12345;
    double sum = 0;
    for (size_t i = 0; i < noise.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        noise[i] = uint8_t(64 + (state >> 24) % 128);  // 64..191, mean 127.5
        sum += noise[i];
        const size_t texel = i / 3;
        checker[i] = ((texel % size) + (texel / size)) % 2 ? 255 : 0;
    }
    const double mean = sum / double(noise.size());
    Texture2D* bumps = getTexture(OrvantaTest::writeBinaryFile(dir, "noise.tga", tgaBytes(size, size, 24, noise)),
                                  false);
    Texture2D* tiles = getTexture(OrvantaTest::writeBinaryFile(dir, "checker.tga", tgaBytes(size, size, 24, checker)),
                                  true);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, bumps->name);
    for (int level = 1; (size >> level) >= 8; ++level) {
        const size_t side = size >> level;
        std::vector<uint8_t> texels(side * side * 3);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        double levelSum = 0;
        for (uint8_t v : texels)
            levelSum += v;
        EXPECT_NEAR(levelSum / double(texels.size()), mean, 0.3) << "level " << level;
    }
    glBindTexture(GL_TEXTURE_2D, tiles->name);
    std::vector<uint8_t> last(3);
    glGetTexImage(GL_TEXTURE_2D, 8, GL_RGB, GL_UNSIGNED_BYTE, last.data());
    EXPECT_NEAR(last[0], 188, 1);
    EXPECT_EQ(checkGlErrors("texture level test"), 0);
}

TEST(TextureCache, MissingFileIsReportedOnceAndCachedAsWhite)
{
    ORVANTA_REQUIRE_GL();
    OrvantaTest::LogCapture log;
    std::string path = OrvantaTest::makeTempDir("texcache") + "/nothere.tga";
    Texture2D* texture = getTexture(path, false);
    ASSERT_TRUE(texture);
    EXPECT_EQ(getTexture(path, false), texture);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_TRUE(log.contains(path));
    glBindTexture(GL_TEXTURE_2D, texture->name);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    uint8_t texel[4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], 255);
    EXPECT_EQ(texel[3], 255);
}

TEST(SolidTextures, OneOpaqueTexelOfTheColourSampledNearestLeavingNothingBound)
{
    ORVANTA_REQUIRE_GL();
    std::unique_ptr<Texture2D> texture = solidTexture(200, 20, 7);
    ASSERT_TRUE(texture);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    uint8_t texel[4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    EXPECT_EQ(texel[0], 200);
    EXPECT_EQ(texel[1], 20);
    EXPECT_EQ(texel[2], 7);
    EXPECT_EQ(texel[3], 255);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(checkGlErrors("solid texture test"), 0);
}

TEST(RenderTargets, FilterZeroIsNearestAndClamped)
{
    ORVANTA_REQUIRE_GL();
    Texture2D target;
    allocate2D(PixelFormatRgba8, target, 8, 4, 0, false);
    EXPECT_FALSE(target.hasMipmaps);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 8);

    Texture2D linear;
    allocate2D(PixelFormatRgba16F, linear, 4, 4, 1, true);
    EXPECT_TRUE(linear.hasMipmaps);
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    GLint internalFormat = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    EXPECT_EQ(internalFormat, GL_RGBA16F);
    EXPECT_EQ(checkGlErrors("render target test"), 0);
}

TEST(RenderTargets, DepthAndVolumeTextures)
{
    ORVANTA_REQUIRE_GL();
    DepthTexture depth(16, 8);
    EXPECT_EQ(depth.target(), GLenum(GL_TEXTURE_2D));
    EXPECT_EQ(textureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    GLint depthBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &depthBits);
    EXPECT_GT(depthBits, 0);

    Texture3D volume;
    EXPECT_EQ(volume.target(), GLenum(GL_TEXTURE_3D));
    allocate3D(PixelFormatRgba16F, volume, 4, 4, 4);
    EXPECT_EQ(textureParameter(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);
    GLint volumeDepth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_DEPTH, &volumeDepth);
    EXPECT_EQ(volumeDepth, 4);
    EXPECT_EQ(checkGlErrors("depth and volume test"), 0);
}

TEST(RenderTargets, UnknownFormatFallsBackToRgb8)
{
    PixelFormatInfo fallback = pixelFormatInfo(14);
    EXPECT_EQ(fallback.internalFormat, GLenum(GL_RGB8));
    EXPECT_EQ(fallback.clientFormat, GLenum(GL_RGB));
    EXPECT_EQ(pixelFormatInfo(-1).internalFormat, GLenum(GL_RGB8));
    EXPECT_EQ(pixelFormatInfo(PixelFormatSrgbBgra8).internalFormat, GLenum(GL_SRGB8_ALPHA8));
    EXPECT_EQ(pixelFormatInfo(PixelFormatR32F).clientType, GLenum(GL_FLOAT));
}

TEST(TextureLimits, AnImageWiderThanTheDriverTakesIsReportedOnceAndWhite)
{
    ORVANTA_REQUIRE_GL();
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    ASSERT_GT(limit, 0);
    ASSERT_LT(limit, 65535) << "the driver takes every width a TGA file can state";
    const std::string dir = OrvantaTest::makeTempDir("widetga");
    const uint32_t width = uint32_t(limit) + 1;
    std::string error;
    ASSERT_TRUE(writeTgaFile(dir + "/wide.tga", width, 1, 24, std::vector<uint8_t>(width * 3, 0x40), error)) << error;
    OrvantaTest::LogCapture log;
    Texture2D* texture = getTexture(dir + "/wide.tga", false);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(getTexture(dir + "/wide.tga", true), texture);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find(dir + "/wide.tga: " + std::to_string(width) + " x 1 pixels exceed"),
              std::string::npos)
        << log.messages[0];
    GLint storedWidth = 0;
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &storedWidth);
    EXPECT_EQ(storedWidth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(TextureLimits, ADeviceOrADirectoryIsNotReadAsAnImage)
{
    ORVANTA_REQUIRE_GL();
    OrvantaTest::LogCapture log;
    getTexture("/dev/zero", false);
    const std::string dir = OrvantaTest::makeTempDir("dirtga");
    getTexture(dir, false);
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_NE(log.messages[0].find("/dev/zero: is not a regular file"), std::string::npos) << log.messages[0];
    EXPECT_NE(log.messages[1].find(dir + ": is a directory"), std::string::npos) << log.messages[1];
}
