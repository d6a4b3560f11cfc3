// Compares a test image with a reference: relative MSE of the linear HDR images, PSNR, SSIM and the
// share of visibly changed pixels of the tone-mapped pictures, and optionally a heat map of the
// per-pixel error.
#include "metrics/ImageMetrics.h"

#include "platform/FileAccess.h"
#include "platform/HdrImage.h"
#include "platform/PngFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace Orvanta;

namespace {

const char* kUsage = "usage: orvanta-compare REFERENCE TEST [--map FILE.png] [--levels N] [--mask FILE.png]\n"
                     "REFERENCE and TEST are each an .exr (linear HDR) or a .png (tone-mapped picture); for an\n"
                     ".exr the .png of the same name beside it, when there is one, is its tone-mapped picture.\n"
                     "Prints relMSE (HDR: mean over pixels and channels of (t - r)^2 / (r^2 + 0.01)), PSNR (dB,\n"
                     "tone-mapped R, G, B / 255, peak 1) and SSIM (tone-mapped luma, 11-tap Gaussian window of\n"
                     "sigma 1.5, K1 0.01, K2 0.03, as pyssim), as \"off>N\" the share (0..1) of pixels whose\n"
                     "tone-mapped R, G or B differs by more than N levels of 255 (--levels N, default 3), and energy\n"
                     "(the test's mean HDR luminance over the reference's); \"n/a\" for a metric whose images are\n"
                     "missing.\n"
                     "--map writes a heat map of the per-pixel error: the relative squared HDR error when both HDR\n"
                     "images are there, else the squared tone-mapped error (each averaged over R, G, B), on a log\n"
                     "scale from 1e-4 (black) through blue, magenta, red and yellow to 1 (white).\n"
                     "--mask compares only the pixels where a picture of the same size is not black (for instance\n"
                     "the --map of two renders that differ only on the surfaces of interest); SSIM, which needs\n"
                     "whole neighbourhoods, is then n/a.\n"
                     "Exit status 0; 2 for a bad command line, an unreadable file or images of different sizes.\n";

// One side of the comparison: the HDR image and the tone-mapped picture, either possibly absent.
struct Side {
    bool hasHdr = false;
    bool hasPicture = false;
    HdrImage hdr;
    Picture picture;
    std::string hdrPath;
    std::string picturePath;
};

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

bool loadPicture(const std::string& path, Side& side, std::string& error)
{
    side.picturePath = path;
    side.hasPicture = readPng(path, side.picture.width, side.picture.height, side.picture.rgba, error);
    return side.hasPicture;
}

bool loadSide(const std::string& path, Side& side, std::string& error)
{
    if (endsWith(path, ".png"))
        return loadPicture(path, side, error);
    if (!endsWith(path, ".exr")) {
        error = path + ": neither an .exr nor a .png file name";
        return false;
    }
    side.hdrPath = path;
    if (!readExr(path, side.hdr, error))
        return false;
    side.hasHdr = true;
    const std::string beside = path.substr(0, path.size() - 4) + ".png";
    if (pathKind(beside) == PathKind::Missing)
        return true;
    if (!loadPicture(beside, side, error))
        return false;
    if (side.picture.width != side.hdr.width || side.picture.height != side.hdr.height) {
        error = beside + " is " + sizeText(side.picture.width, side.picture.height) + " pixels, its HDR image " + path +
                " " + sizeText(side.hdr.width, side.hdr.height);
        return false;
    }
    return true;
}

// True when both names lead to the same file, or would once written.
bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    const std::filesystem::path first = std::filesystem::weakly_canonical(a, error);
    if (error)
        return a == b;
    const std::filesystem::path second = std::filesystem::weakly_canonical(b, error);
    return error ? a == b : first == second;
}

// The pixels of the side under the mask's non-black pixels, in order, as one row.
void keepMasked(Side& side, const Picture& mask)
{
    const size_t count = size_t(mask.width) * size_t(mask.height);
    if (side.hasHdr) {
        std::vector<float> kept;
        for (size_t i = 0; i < count; ++i)
            if (mask.rgba[i * 4] | mask.rgba[i * 4 + 1] | mask.rgba[i * 4 + 2])
                kept.insert(kept.end(), side.hdr.rgb.begin() + long(i * 3), side.hdr.rgb.begin() + long(i * 3 + 3));
        side.hdr.width = int(kept.size() / 3);
        side.hdr.height = 1;
        side.hdr.rgb = std::move(kept);
    }
    if (side.hasPicture) {
        std::vector<uint8_t> kept;
        for (size_t i = 0; i < count; ++i)
            if (mask.rgba[i * 4] | mask.rgba[i * 4 + 1] | mask.rgba[i * 4 + 2])
                kept.insert(kept.end(), side.picture.rgba.begin() + long(i * 4),
                            side.picture.rgba.begin() + long(i * 4 + 4));
        side.picture.width = int(kept.size() / 4);
        side.picture.height = 1;
        side.picture.rgba = std::move(kept);
    }
}

void printMetric(const char* name, bool available, double value, const char* unit)
{
    if (!available)
        std::printf("%-7s n/a\n", name);
    else if (std::isinf(value))
        std::printf("%-7s inf%s\n", name, unit);
    else
        std::printf("%-7s %.9g%s\n", name, value, unit);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string paths[2];
    int count = 0;
    std::string mapPath;
    std::string maskPath;
    int levels = kDefaultLevelsOff;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (a == "--map") {
            if (i + 1 >= argc || !endsWith(argv[i + 1], ".png")) {
                std::fprintf(stderr, "orvanta-compare: --map needs a file name ending in .png\n%s", kUsage);
                return 2;
            }
            mapPath = argv[++i];
        } else if (a == "--mask") {
            if (i + 1 >= argc || !endsWith(argv[i + 1], ".png")) {
                std::fprintf(stderr, "orvanta-compare: --mask needs a file name ending in .png\n%s", kUsage);
                return 2;
            }
            maskPath = argv[++i];
        } else if (a == "--levels") {
            char* end = nullptr;
            const long value = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : -1;
            if (end == nullptr || end == argv[i + 1] || *end != '\0' || value < 0 || value > 254) {
                std::fprintf(stderr, "orvanta-compare: --levels needs a whole number from 0 to 254\n%s", kUsage);
                return 2;
            }
            levels = int(value);
            ++i;
        } else if (a.rfind("--", 0) == 0 || count == 2) {
            std::fprintf(stderr, "orvanta-compare: argument %s is not known\n%s", a.c_str(), kUsage);
            return 2;
        } else {
            paths[count++] = a;
        }
    }
    if (count != 2) {
        std::fprintf(stderr, "orvanta-compare: give a reference and a test image\n%s", kUsage);
        return 2;
    }
    if (!mapPath.empty()) {
        // The map is written after the metrics: a name that cannot be written, or one that would
        // overwrite an image being compared, is refused first.
        std::string problem = outputPathProblem(mapPath);
        for (const std::string& input : paths) {
            // An .exr brings the picture beside it.
            const std::string beside = endsWith(input, ".exr") ? input.substr(0, input.size() - 4) + ".png" : input;
            if (problem.empty() && (sameFile(mapPath, input) || sameFile(mapPath, beside)))
                problem = "is one of the images compared";
        }
        if (!problem.empty()) {
            std::fprintf(stderr, "orvanta-compare: --map: '%s' %s\n", mapPath.c_str(), problem.c_str());
            return 2;
        }
    }
    Side sides[2];
    for (int s = 0; s < 2; ++s) {
        std::string error;
        if (!loadSide(paths[s], sides[s], error)) {
            std::fprintf(stderr, "orvanta-compare: %s\n", error.c_str());
            return 2;
        }
    }
    Side& reference = sides[0];
    Side& test = sides[1];
    const bool hdr = reference.hasHdr && test.hasHdr;
    const bool pictures = reference.hasPicture && test.hasPicture;
    if (hdr && (reference.hdr.width != test.hdr.width || reference.hdr.height != test.hdr.height)) {
        std::fprintf(stderr, "orvanta-compare: the images differ in size: %s is %s, %s is %s pixels\n",
                     reference.hdrPath.c_str(), sizeText(reference.hdr.width, reference.hdr.height).c_str(),
                     test.hdrPath.c_str(), sizeText(test.hdr.width, test.hdr.height).c_str());
        return 2;
    }
    if (pictures &&
        (reference.picture.width != test.picture.width || reference.picture.height != test.picture.height)) {
        std::fprintf(stderr, "orvanta-compare: the images differ in size: %s is %s, %s is %s pixels\n",
                     reference.picturePath.c_str(), sizeText(reference.picture.width, reference.picture.height).c_str(),
                     test.picturePath.c_str(), sizeText(test.picture.width, test.picture.height).c_str());
        return 2;
    }
    if (!maskPath.empty()) {
        Picture mask;
        std::string error;
        if (!readPng(maskPath, mask.width, mask.height, mask.rgba, error)) {
            std::fprintf(stderr, "orvanta-compare: %s\n", error.c_str());
            return 2;
        }
        const int width = hdr ? reference.hdr.width : reference.picture.width;
        const int height = hdr ? reference.hdr.height : reference.picture.height;
        if (mask.width != width || mask.height != height) {
            std::fprintf(stderr, "orvanta-compare: the mask %s is %s pixels, the images %s\n", maskPath.c_str(),
                         sizeText(mask.width, mask.height).c_str(), sizeText(width, height).c_str());
            return 2;
        }
        if (!mapPath.empty()) {
            std::fprintf(stderr, "orvanta-compare: --map and --mask do not go together\n");
            return 2;
        }
        for (Side* side : {&reference, &test})
            keepMasked(*side, mask);
        if ((hdr ? reference.hdr.width : reference.picture.width) == 0) {
            std::fprintf(stderr, "orvanta-compare: the mask %s covers no pixel\n", maskPath.c_str());
            return 2;
        }
        std::printf("mask    %d of %d pixels\n", hdr ? reference.hdr.width : reference.picture.width, width * height);
    }
    const bool wholePictures = pictures && maskPath.empty();
    printMetric("relMSE", hdr, hdr ? relativeMse(reference.hdr, test.hdr) : 0.0, "");
    printMetric("PSNR", pictures, pictures ? psnr(reference.picture, test.picture) : 0.0, " dB");
    printMetric("SSIM", wholePictures, wholePictures ? ssim(reference.picture, test.picture) : 0.0, "");
    const std::string offName = "off>" + std::to_string(levels);
    printMetric(offName.c_str(), pictures, pictures ? shareOfPixelsOff(reference.picture, test.picture, levels) : 0.0,
                "");
    // Above 1 the test holds more light than the reference, below 1 less.
    const double referenceLight = hdr ? meanLuminance(reference.hdr) : 0.0;
    printMetric("energy", hdr && referenceLight > 0.0,
                hdr && referenceLight > 0.0 ? meanLuminance(test.hdr) / referenceLight : 0.0, " (test / reference)");
    if (!mapPath.empty()) {
        if (!hdr && !pictures) {
            std::fprintf(stderr, "orvanta-compare: --map: the two sides have no kind of image in common\n");
            return 2;
        }
        const int width = hdr ? reference.hdr.width : reference.picture.width;
        const int height = hdr ? reference.hdr.height : reference.picture.height;
        const Picture map = heatMap(width, height,
                                    hdr ? relativeSquaredErrorPerPixel(reference.hdr, test.hdr)
                                        : squaredErrorPerPixel(reference.picture, test.picture));
        std::string error;
        if (!writePng(mapPath, map.width, map.height, map.rgba, error)) {
            std::fprintf(stderr, "orvanta-compare: %s\n", error.c_str());
            return 2;
        }
        std::printf("map     %s (%s)\n", mapPath.c_str(),
                    hdr ? "relative squared HDR error" : "squared tone-mapped error");
    }
    return 0;
}
