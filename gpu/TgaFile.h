#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// A decoded uncompressed TGA image: rows tightly packed, bytes in the file's blue-green-red(-alpha)
// order, image row 0 = the file's last stored row (the engine reverses the stored row order).
struct TgaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;  // 24 or 32
    std::vector<uint8_t> pixels;
};

// Reads a 24- or 32-bit uncompressed TGA (image type 2). Skips a non-empty image ID. A missing or
// truncated file, another depth, a colour-mapped or run-length encoded image, or dimensions that
// do not fit the file give false with a message naming the path and the problem.
bool readTgaFile(const std::string& path, TgaImage& image, std::string& error);
bool parseTga(const std::string& name, const std::vector<uint8_t>& bytes, TgaImage& image, std::string& error);

// Writes an uncompressed, bottom-left-origin TGA whose stored rows are `pixels` in order
// (so a file written from an image read by readTgaFile stores that image's rows reversed back).
// `pixels` holds width * height * bitsPerPixel / 8 bytes in BGR(A) order. Atomic (temp + rename).
bool writeTgaFile(const std::string& path, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                  const std::vector<uint8_t>& storedRows, std::string& error);
// The bytes writeTgaFile writes. False with a message naming `name` for an image the format cannot
// hold (depth other than 24 or 32, no pixels, a side above 65535, a pixel count that does not
// match the size).
bool encodeTga(const std::string& name, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
               const std::vector<uint8_t>& storedRows, std::vector<uint8_t>& bytes, std::string& error);

}  // namespace Orvanta
