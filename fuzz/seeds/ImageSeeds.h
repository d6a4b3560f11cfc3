#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace OrvantaFuzz {

// Small OpenEXR and PNG files for the image target, by name: the engine's own EXR (float RGB, ZIP,
// with an exposure) and PNG (RGBA8), and what other programs write: half-float RGBA in each
// scanline compression, a tiled file, a luminance-only file, and grey, grey-alpha 16-bit,
// palette-with-transparency and interlaced PNGs. Files are made in scratch and removed.
std::vector<std::pair<std::string, std::vector<uint8_t>>> imageSeeds(const std::filesystem::path& scratch);

}  // namespace OrvantaFuzz
