#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// An RGBA8 picture whose row 0 is texture coordinate t = 0 (the engine's loader turns a
// bottom-left-origin file upside down, so the file's top row lands at t = 0). Overlay images
// follow the same rule: row 0 is the top of the picture on screen.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // width * height * 4, row 0 first

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}
    uint8_t* at(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Writes `picture` as an uncompressed TGA (24-bit without alpha, 32-bit with), converting to the
// file's bottom-row-first BGR(A) layout. Returns false with a message naming the path.
bool writePicture(const std::string& path, const Picture& picture, bool withAlpha, std::string& error);

uint8_t toByte(float value);

}  // namespace Orvanta
