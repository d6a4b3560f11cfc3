#include "app/Screenshot.h"

#include "platform/FileAccess.h"
#include "platform/gl/FramebufferPixels.h"
#include "platform/PngFile.h"
#include "renderer/Renderer.h"

#include <filesystem>

namespace Orvanta {

std::string screenshotPath(std::time_t moment)
{
    std::tm local{};
    localtime_r(&moment, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string stem = std::string(kScreenshotFolder) + "/orvanta-" + stamp;
    std::string path = stem + ".png";
    for (int n = 2; pathKind(path) != PathKind::Missing; ++n)
        path = stem + "-" + std::to_string(n) + ".png";
    return path;
}

bool saveScreenshot(int width, int height, const std::vector<uint8_t>& rgba, std::string& path, std::string& error)
{
    std::error_code problem;
    std::filesystem::create_directories(kScreenshotFolder, problem);
    if (problem) {
        error = std::string(kScreenshotFolder) + ": cannot create the folder (" + problem.message() + ")";
        return false;
    }
    path = screenshotPath(std::time(nullptr));
    return writePng(path, width, height, rgba, error);
}

bool CapturingOverlay::takeCapture(int& width, int& height, std::vector<uint8_t>& rgba)
{
    if (!captured)
        return false;
    captured = false;
    width = capturedWidth;
    height = capturedHeight;
    rgba = std::move(pixels);
    pixels.clear();
    return true;
}

void CapturingOverlay::drawOverlay(const OverlayTarget& target)
{
    if (requested) {
        requested = false;
        capturedWidth = target.width;
        capturedHeight = target.height;
        pixels = readFramebufferPixels(target.framebuffer, capturedWidth, capturedHeight);
        captured = !pixels.empty();
    }
    if (inner)
        inner->drawOverlay(target);
}

}  // namespace Orvanta
