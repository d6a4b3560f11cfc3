// The TGA reader: any bytes give either an image whose pixels are exactly width * height * depth
// or a message naming the file.
#include "gpu/TgaFile.h"
#include "support/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Orvanta::TgaImage image;
    std::string error;
    if (Orvanta::parseTga("fuzz.tga", OrvantaFuzz::bytesOf(data, size), image, error)) {
        if (image.pixels.size() != size_t(image.width) * image.height * (image.bitsPerPixel / 8) ||
            image.pixels.size() > size)
            __builtin_trap();
    } else if (error.find("fuzz.tga") == std::string::npos) {
        __builtin_trap();
    }
    return 0;
}
