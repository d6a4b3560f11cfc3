#include "platform/PngFile.h"

#include "platform/FileAccess.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace Orvanta {

namespace {

// The encoded file, grown as libpng writes.
void appendToBytes(png_structp png, png_bytep data, png_size_t count)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + count);
}

void noFlush(png_structp)
{
}

// The libpng part on its own: libpng reports errors by longjmp, so this frame holds nothing that
// needs destroying (a std::string here could be left half-updated by the jump); the vector lives
// in the caller's frame.
bool encodePng(std::vector<uint8_t>& bytes, int width, int height, const uint8_t* rgba)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &bytes, appendToBytes, noFlush);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgba + static_cast<size_t>(y) * width * 4));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The reader's libpng state: the file's bytes, the read position and libpng's last error message.
struct PngSource {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    size_t position = 0;
    char message[200] = {};
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->position)
        png_error(png, "the file ends inside the image data");
    std::memcpy(out, source->bytes + source->position, count);
    source->position += count;
}

void keepErrorMessage(png_structp png, png_const_charp message)
{
    PngSource* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp)
{
}

// The libpng part of the reader. As for the writer, libpng reports errors by longjmp; the
// vectors live in the caller's frame and are only resized here between libpng calls, and the
// locals changed after setjmp are volatile or not read after a jump.
bool decodePng(PngSource& source, int& width, int& height, std::vector<uint8_t>& rgba, std::vector<png_bytep>& rows,
               const char*& problem)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, keepErrorMessage, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, &info, nullptr);
        problem = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        problem = source.message;
        return false;
    }
    png_set_read_fn(png, &source, readFromMemory);
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (static_cast<long long>(w) * h > kMaxPngPixels)
        png_error(png, "the image has more pixels than a PNG may have here");
    const int colorType = png_get_color_type(png, info);
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(w) * 4)
        png_error(png, "unexpected pixel layout after conversion to RGBA8");
    rgba.resize(static_cast<size_t>(w) * h * 4);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = rgba.data() + static_cast<size_t>(y) * w * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace

bool readPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba, std::string& error)
{
    width = height = 0;
    rgba.clear();
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readRegularFile(path, bytes, problem, kMaxPngFileBytes)) {
        error = path + ": " + problem;
        return false;
    }
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        error = path + ": not a PNG file (no PNG signature)";
        return false;
    }
    PngSource source;
    source.bytes = bytes.data();
    source.size = bytes.size();
    std::vector<png_bytep> rows;
    const char* failure = nullptr;
    if (!decodePng(source, width, height, rgba, rows, failure)) {
        width = height = 0;
        rgba.clear();
        error = path + ": " + (failure ? failure : "cannot be decoded");
        return false;
    }
    return true;
}

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, std::string& error)
{
    if (width <= 0 || height <= 0 || width > kMaxPngSide || height > kMaxPngSide ||
        rgba.size() < static_cast<size_t>(width) * height * 4) {
        error = path + ": no image to write";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!encodePng(bytes, width, height, rgba.data())) {
        error = path + ": PNG encoding failed";
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

}  // namespace Orvanta
