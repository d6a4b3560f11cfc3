#include "GoldenComparison.h"

#include "metrics/ImageMetrics.h"
#include "platform/FileAccess.h"
#include "platform/PngFile.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace OrvantaTest {

using namespace Orvanta;

namespace {

// The limits a view must keep. Two runs on one machine draw byte-identical pictures, and so does
// llvmpipe with 128-bit vectors instead of its default 256 (every view, measured): the noise the
// limits must let through is nil on CPUs that round alike. They sit well below the mildest change
// a lost pass makes: without the ambient-occlusion blur 1.4 % of the start view's pixels (sky
// lighting off) to 6.8 % (direct lighting off) move by more than 3 levels and SSIM falls to
// 0.9996 to 0.991. A CPU that rounds differently needs goldens of its own: llvmpipe's code
// without any SIMD (GALLIUM_NOSSE=1) moves 0.04 % (the imported model) to 7.7 % of the pixels.
// Another driver rounds differently (zink on lavapipe, a GPU): scripts/second-driver and
// scripts/gpu-check give limits measured for it through ORVANTA_GOLDEN_MIN_SSIM and
// ORVANTA_GOLDEN_MAX_SHARE_OFF.
constexpr double kMinSsim = 0.9995;
constexpr double kMaxShareOff = 0.002;

// A limit from the environment variable `name`, or `fallback` when it is not set. A value that is
// not a number in [0, 1] is refused with a message naming the variable.
bool limitFromEnvironment(const char* name, double fallback, double& limit, std::string& problem)
{
    const char* text = std::getenv(name);
    limit = fallback;
    if (!text)
        return true;
    char* end = nullptr;
    limit = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(limit >= 0.0 && limit <= 1.0)) {
        problem = std::string(name) + "='" + text + "' is not a number from 0 to 1";
        return false;
    }
    return true;
}

std::string percent(double share)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %%", 100.0 * share);
    return text;
}

bool readPicture(const std::string& path, Picture& picture, std::string& error)
{
    return readPng(path, picture.width, picture.height, picture.rgba, error);
}

// Writes the golden picture and the heat map beside the rendered one; returns the sentence that
// names the three files for the failure message.
std::string writeFailurePictures(const std::string& golden, const Picture& reference, const Picture& test,
                                 const std::string& folder)
{
    std::string error;
    const std::string goldenCopy = folder + "/golden.png";
    const std::string mapPath = folder + "/error-map.png";
    std::vector<uint8_t> bytes;
    if (!readRegularFile(golden, bytes, error))
        return "\ncould not copy the golden picture: " + golden + ": " + error;
    if (!writeFileAtomically(goldenCopy, bytes, error))
        return "\ncould not copy the golden picture: " + error;
    const Picture map = heatMap(test.width, test.height, squaredErrorPerPixel(reference, test));
    if (!writePng(mapPath, map.width, map.height, map.rgba, error))
        return "\ncould not write the error map: " + error;
    return "\nrendered:  " + folder + "/rendered.png\ngolden:    " + goldenCopy + "\nerror map: " + mapPath +
           " (squared error, log scale: black 1e-4, blue, magenta, red, yellow, white 1)";
}

}  // namespace

GoldenVerdict compareWithGolden(const std::string& rendered, const std::string& golden, const std::string& folder)
{
    GoldenVerdict verdict;
    Picture test, reference;
    std::string error;
    if (!readPicture(rendered, test, error)) {
        verdict.message = "the rendered picture cannot be read: " + error;
        return verdict;
    }
    if (pathKind(golden) == PathKind::Missing) {
        verdict.message = "no golden picture " + golden + " (scripts/update-goldens writes it); rendered: " + rendered;
        return verdict;
    }
    if (!readPicture(golden, reference, error)) {
        verdict.message = "the golden picture cannot be read: " + error;
        return verdict;
    }
    if (reference.width != test.width || reference.height != test.height) {
        verdict.message = golden + " is " + std::to_string(reference.width) + " x " + std::to_string(reference.height) +
                          " pixels, the rendered picture " + rendered + " " + std::to_string(test.width) + " x " +
                          std::to_string(test.height);
        return verdict;
    }
    double minSsim = 0.0, maxShareOff = 0.0;
    if (!limitFromEnvironment("ORVANTA_GOLDEN_MIN_SSIM", kMinSsim, minSsim, verdict.message) ||
        !limitFromEnvironment("ORVANTA_GOLDEN_MAX_SHARE_OFF", kMaxShareOff, maxShareOff, verdict.message))
        return verdict;
    const double similarity = ssim(reference, test);
    const double off = shareOfPixelsOff(reference, test, kDefaultLevelsOff);
    verdict.passed = similarity >= minSsim && off <= maxShareOff;
    if (verdict.passed)
        return verdict;
    char summary[256];
    std::snprintf(summary, sizeof summary,
                  "the picture differs from %s: SSIM %.5f (at least %.5f passes), %s of the pixels off by more "
                  "than %d levels (at most %s passes)",
                  golden.c_str(), similarity, minSsim, percent(off).c_str(), kDefaultLevelsOff,
                  percent(maxShareOff).c_str());
    verdict.message = summary + writeFailurePictures(golden, reference, test, folder);
    return verdict;
}

bool replaceGolden(const std::string& rendered, const std::string& golden, bool& changed, std::string& error)
{
    std::vector<uint8_t> bytes, before;
    if (!readRegularFile(rendered, bytes, error)) {
        error = rendered + ": " + error;
        return false;
    }
    std::string ignored;
    changed = !readRegularFile(golden, before, ignored) || before != bytes;
    return !changed || writeFileAtomically(golden, bytes, error);
}

}  // namespace OrvantaTest
