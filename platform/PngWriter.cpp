#include "platform/HeadlessContext.h"

#include <png.h>

#include <cstdio>

namespace Orvanta {

namespace {

// The libpng part on its own: libpng reports errors by longjmp, so this frame holds nothing that
// needs destroying (a std::string here could be left half-updated by the jump).
bool encodePng(FILE* file, int width, int height, const uint8_t* rgba)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgba + static_cast<size_t>(y) * width * 4));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
              std::string& error)
{
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * height * 4) {
        error = path + ": no image to write";
        return false;
    }
    std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = path + ": cannot open for writing";
        return false;
    }
    if (!encodePng(file, width, height, rgba.data())) {
        std::fclose(file);
        std::remove(temporary.c_str());
        error = path + ": PNG encoding failed";
        return false;
    }
    bool closed = std::fclose(file) == 0;
    if (!closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}

}  // namespace Orvanta
