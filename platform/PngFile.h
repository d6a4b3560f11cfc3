#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// The largest PNG readPng decodes: a side of at most kMaxPngSide pixels, at most kMaxPngPixels
// pixels in all, and a file of at most kMaxPngFileBytes.
inline constexpr int kMaxPngSide = 16384;
inline constexpr long long kMaxPngPixels = 1ll << 26;
inline constexpr size_t kMaxPngFileBytes = size_t(256) << 20;

// Writes RGBA8 pixels (top row first) as a PNG file. The file is encoded in memory and written
// atomically (writeFileAtomically): a failed or interrupted write leaves the old file or none.
// Returns false with a message naming the file.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, std::string& error);

// Reads a PNG file of any colour type and depth as RGBA8 pixels, top row first (grey becomes
// grey RGB, 16-bit channels keep their high byte, an image without alpha gets alpha 255). Reads
// only regular files within the bounds above. False with one message naming the file and the
// problem; width, height and pixels are then 0 and empty.
bool readPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba, std::string& error);

}  // namespace Orvanta
