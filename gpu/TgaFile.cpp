#include "gpu/TgaFile.h"

#include "platform/FileAccess.h"

#include <cstring>

namespace Orvanta {

bool parseTga(const std::string& name, const std::vector<uint8_t>& bytes, TgaImage& image, std::string& error)
{
    auto fail = [&](const std::string& problem) {
        error = name + ": " + problem;
        return false;
    };
    if (bytes.size() < 18)
        return fail("shorter than a TGA header");
    uint32_t idLength = bytes[0];
    uint32_t colorMapType = bytes[1];
    uint32_t imageType = bytes[2];
    uint32_t width = bytes[12] | (bytes[13] << 8);
    uint32_t height = bytes[14] | (bytes[15] << 8);
    uint32_t bits = bytes[16];
    if (colorMapType != 0)
        return fail("colour-mapped images are not supported");
    if (imageType == 10)
        return fail("run-length encoded images are not supported");
    if (imageType != 2)
        return fail("image type " + std::to_string(imageType) + " is not an uncompressed true-colour image");
    if (bits != 24 && bits != 32)
        return fail(std::to_string(bits) + " bits per pixel are not supported (only 24 and 32)");
    if (width == 0 || height == 0)
        return fail("the image has no pixels");
    size_t size = static_cast<size_t>(width) * height * (bits / 8);
    size_t start = 18 + idLength;
    if (bytes.size() < start || bytes.size() - start < size)
        return fail(std::to_string(width) + " x " + std::to_string(height) + " pixels do not fit the file size");
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    image.pixels.resize(size);
    size_t rowBytes = static_cast<size_t>(width) * (bits / 8);
    // Stored row i becomes image row height - 1 - i.
    for (uint32_t i = 0; i < height; ++i)
        std::memcpy(&image.pixels[(height - 1 - i) * rowBytes], &bytes[start + i * rowBytes], rowBytes);
    return true;
}

bool readTgaFile(const std::string& path, TgaImage& image, std::string& error)
{
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readRegularFile(path, bytes, problem)) {
        error = path + ": " + problem;
        return false;
    }
    return parseTga(path, bytes, image, error);
}

bool encodeTga(const std::string& name, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
               const std::vector<uint8_t>& storedRows, std::vector<uint8_t>& bytes, std::string& error)
{
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || width == 0 || height == 0 || width > 65535 || height > 65535 ||
        storedRows.size() != static_cast<size_t>(width) * height * (bitsPerPixel / 8)) {
        error = name + ": invalid image for a TGA file";
        return false;
    }
    uint8_t header[18] = {};
    header[2] = 2;
    header[12] = width & 0xFF;
    header[13] = width >> 8;
    header[14] = height & 0xFF;
    header[15] = height >> 8;
    header[16] = static_cast<uint8_t>(bitsPerPixel);
    header[17] = bitsPerPixel == 32 ? 8 : 0;  // alpha bits; origin bottom-left
    bytes.resize(sizeof header + storedRows.size());
    std::memcpy(bytes.data(), header, sizeof header);
    if (!storedRows.empty())
        std::memcpy(bytes.data() + sizeof header, storedRows.data(), storedRows.size());
    return true;
}

bool writeTgaFile(const std::string& path, uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                  const std::vector<uint8_t>& storedRows, std::string& error)
{
    std::vector<uint8_t> bytes;
    if (!encodeTga(path, width, height, bitsPerPixel, storedRows, bytes, error))
        return false;
    return writeFileAtomically(path, bytes, error);
}

}  // namespace Orvanta
