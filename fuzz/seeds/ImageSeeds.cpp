#include "ImageSeeds.h"

#include "platform/FileAccess.h"
#include "platform/HdrImage.h"
#include "platform/PngFile.h"

#include <ImfChannelList.h>
#include <ImfHeader.h>
#include <ImfOutputFile.h>
#include <ImfRgbaFile.h>
#include <ImfTiledRgbaFile.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace OrvantaFuzz {

namespace {

namespace fs = std::filesystem;
using Seeds = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

constexpr int kWidth = 5;
constexpr int kHeight = 4;

void take(Seeds& seeds, const std::string& name, const fs::path& file)
{
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!Orvanta::readRegularFile(file.string(), bytes, problem)) {
        std::fprintf(stderr, "orvanta-fuzz-seeds: %s: %s\n", file.c_str(), problem.c_str());
        std::exit(1);
    }
    fs::remove(file);
    seeds.emplace_back(name, std::move(bytes));
}

std::vector<Imf::Rgba> halfPixels()
{
    std::vector<Imf::Rgba> pixels(kWidth * kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i)
        pixels[size_t(i)] = Imf::Rgba(0.1f * float(i), std::sqrt(float(i)), 1.0f / float(i + 1), 0.5f);
    return pixels;
}

// A PNG of one colour type and depth through libpng, each sample from a small pattern.
bool writePngOfType(const fs::path& file, int colorType, int depth, bool interlaced)
{
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, kWidth, kHeight, depth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    png_byte alpha[2] = {0, 128};
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette, 4);
        png_set_tRNS(png, info, alpha, 2, nullptr);
    }
    png_write_info(png, info);
    const int channels = colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    const size_t rowBytes = (size_t(kWidth) * channels * depth + 7) / 8;
    std::vector<png_byte> rows(rowBytes * kHeight);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = png_byte(colorType == PNG_COLOR_TYPE_PALETTE ? (i % 2 ? 0x1B : 0xE4) : i * 37);
    std::vector<png_bytep> rowPointers(kHeight);
    for (int y = 0; y < kHeight; ++y)
        rowPointers[size_t(y)] = rows.data() + size_t(y) * rowBytes;
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

}  // namespace

Seeds imageSeeds(const fs::path& scratch)
{
    fs::create_directories(scratch);
    Seeds seeds;
    std::string error;

    Orvanta::HdrImage image;
    image.width = kWidth;
    image.height = kHeight;
    for (int i = 0; i < kWidth * kHeight * 3; ++i)
        image.rgb.push_back(0.25f * float(i % 7));
    image.exposure = 1.5f;
    const fs::path exr = scratch / "engine.exr";
    if (!Orvanta::writeExr(exr.string(), image, error)) {
        std::fprintf(stderr, "orvanta-fuzz-seeds: %s\n", error.c_str());
        std::exit(1);
    }
    take(seeds, "engine-float-zip.exr", exr);

    const std::vector<Imf::Rgba> pixels = halfPixels();
    const std::pair<Imf::Compression, const char*> compressions[] = {
        {Imf::NO_COMPRESSION, "none"},  {Imf::RLE_COMPRESSION, "rle"},     {Imf::ZIPS_COMPRESSION, "zips"},
        {Imf::PIZ_COMPRESSION, "piz"},  {Imf::PXR24_COMPRESSION, "pxr24"}, {Imf::B44_COMPRESSION, "b44"},
        {Imf::DWAA_COMPRESSION, "dwaa"}};
    for (const auto& [compression, name] : compressions) {
        const fs::path file = scratch / (std::string(name) + ".exr");
        {
            Imf::RgbaOutputFile out(file.c_str(), kWidth, kHeight, Imf::WRITE_RGBA, 1.0f, Imath::V2f(0, 0), 1.0f,
                                    Imf::INCREASING_Y, compression);
            out.setFrameBuffer(pixels.data(), 1, kWidth);
            out.writePixels(kHeight);
        }
        take(seeds, std::string("half-rgba-") + name + ".exr", file);
    }
    {
        const fs::path file = scratch / "tiled.exr";
        {
            Imf::TiledRgbaOutputFile out(file.c_str(), kWidth, kHeight, 2, 2, Imf::ONE_LEVEL, Imf::ROUND_DOWN,
                                         Imf::WRITE_RGB);
            out.setFrameBuffer(pixels.data(), 1, kWidth);
            out.writeTiles(0, out.numXTiles() - 1, 0, out.numYTiles() - 1);
        }
        take(seeds, "half-rgb-tiled.exr", file);
    }
    {
        const fs::path file = scratch / "luminance.exr";
        {
            Imf::RgbaOutputFile out(file.c_str(), kWidth, kHeight, Imf::WRITE_Y);
            out.setFrameBuffer(pixels.data(), 1, kWidth);
            out.writePixels(kHeight);
        }
        take(seeds, "half-y.exr", file);
    }

    std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = uint8_t(i * 11);
    const fs::path png = scratch / "engine.png";
    if (!Orvanta::writePng(png.string(), kWidth, kHeight, rgba, error)) {
        std::fprintf(stderr, "orvanta-fuzz-seeds: %s\n", error.c_str());
        std::exit(1);
    }
    take(seeds, "engine-rgba8.png", png);
    const struct {
        int colorType, depth;
        bool interlaced;
        const char* name;
    } kinds[] = {{PNG_COLOR_TYPE_GRAY, 1, false, "grey1.png"},
                 {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, "grey-alpha16.png"},
                 {PNG_COLOR_TYPE_PALETTE, 2, false, "palette2-trns.png"},
                 {PNG_COLOR_TYPE_RGB, 8, true, "rgb8-interlaced.png"}};
    for (const auto& kind : kinds) {
        const fs::path file = scratch / kind.name;
        if (!writePngOfType(file, kind.colorType, kind.depth, kind.interlaced)) {
            std::fprintf(stderr, "orvanta-fuzz-seeds: %s: cannot be written\n", file.c_str());
            std::exit(1);
        }
        take(seeds, kind.name, file);
    }
    return seeds;
}

}  // namespace OrvantaFuzz
