#pragma once
#include <optional>
#include <string>
#include <vector>

namespace Orvanta {

// A linear (scene-referred) RGB image in floats: what the HDR scene target holds before tone
// mapping, and what a reference renderer produces. Row 0 is the top row.
struct HdrImage {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;  // 3 floats a pixel, row 0 at the top
    // The exposure the tone map used for the picture that goes with this image, when known.
    std::optional<float> exposure;
};

// The largest image either function handles: a side of at most kMaxHdrImageSide pixels and at
// most kMaxHdrImagePixels pixels in all (768 MiB of floats), so that a corrupt or hostile header
// cannot make the reader allocate without bound.
inline constexpr int kMaxHdrImageSide = 16384;
inline constexpr long long kMaxHdrImagePixels = 1ll << 26;

// Writes the image as an OpenEXR file with 32-bit float R, G and B channels (ZIP compressed) and,
// when the image has one, its exposure as a float header attribute named "exposure". The file is
// encoded in memory and written atomically (writeFileAtomically): a failed or interrupted write
// leaves the old file or none. Refuses an empty or inconsistent image and non-finite values.
// False with one message naming the file and the problem.
bool writeExr(const std::string& path, const HdrImage& image, std::string& error);

// Reads an OpenEXR file's R, G and B channels as floats (any pixel type the file stores; a file
// with only a luminance channel Y is read as grey) and its "exposure" attribute when it has one.
// Reads only regular files within kMaxReadFileBytes and images within the bounds above, and
// refuses non-finite pixel values. False with one message naming the file and the problem; the
// image is then left empty.
bool readExr(const std::string& path, HdrImage& image, std::string& error);

}  // namespace Orvanta
