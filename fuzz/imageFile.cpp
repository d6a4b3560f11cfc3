// The image readers of the compare tool and the reference tracer's inputs: any bytes, read from a
// file as the tools read them, give either an image within the readers' bounds (an OpenEXR image
// of finite values, 3 for each pixel; a PNG of 4 bytes for each pixel) or one message naming the
// file.
#include "platform/HdrImage.h"
#include "platform/PngFile.h"
#include "support/FuzzSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kInput = "input.image";

bool inBounds(int width, int height, int maxSide, long long maxPixels)
{
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide && (long long)width * height <= maxPixels;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    // The input goes through a file, as the tools read it, in a scratch directory of this process.
    OrvantaFuzz::enterScratchDirectory("images");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Orvanta;
    FILE* file = std::fopen(kInput, "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    const std::string path = kInput;

    HdrImage hdr;
    std::string error;
    if (readExr(path, hdr, error)) {
        if (!inBounds(hdr.width, hdr.height, kMaxHdrImageSide, kMaxHdrImagePixels) ||
            hdr.rgb.size() != size_t(hdr.width) * size_t(hdr.height) * 3)
            __builtin_trap();
        for (float value : hdr.rgb)
            if (!std::isfinite(value))
                __builtin_trap();
        if (hdr.exposure && !std::isfinite(*hdr.exposure))
            __builtin_trap();
    } else if (error.rfind(path + ": ", 0) != 0 || !hdr.rgb.empty() || hdr.width != 0) {
        __builtin_trap();
    }

    int width = -1, height = -1;
    std::vector<uint8_t> rgba;
    error.clear();
    if (readPng(path, width, height, rgba, error)) {
        if (!inBounds(width, height, kMaxPngSide, kMaxPngPixels) || rgba.size() != size_t(width) * size_t(height) * 4)
            __builtin_trap();
    } else if (error.rfind(path + ": ", 0) != 0 || !rgba.empty() || width != 0 || height != 0) {
        __builtin_trap();
    }
    return 0;
}
