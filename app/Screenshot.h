#pragma once
#include "renderer/FrameOverlay.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace Orvanta {

// The demo's screenshots: the folder under the working directory and the file name of a moment,
// "screenshots/orvanta-YYYYMMDD-HHMMSS.png" in local time (with "-2", "-3", ... before ".png"
// when that name is taken already).
inline constexpr const char* kScreenshotFolder = "screenshots";
std::string screenshotPath(std::time_t moment);

// Writes RGBA8 pixels (top row first) as a new screenshot of the current moment, creating the
// folder when needed; the PNG is written whole or not at all. Returns the path, or false with a
// message.
bool saveScreenshot(int width, int height, const std::vector<uint8_t>& rgba, std::string& path, std::string& error);

// The layer the demo draws over every frame: on request it first reads the tone-mapped frame out
// of the window (before anything is drawn over it), then draws the wrapped layer (the panel).
class CapturingOverlay final : public FrameOverlay {
public:
    explicit CapturingOverlay(FrameOverlay* overlay) : inner(overlay) {}
    // The next frame drawn is captured.
    void requestCapture() { requested = true; }
    // True once a requested frame was captured, handing over its pixels (and clearing them).
    bool takeCapture(int& width, int& height, std::vector<uint8_t>& rgba);

    void drawOverlay(const OverlayTarget& target) override;

private:
    FrameOverlay* inner = nullptr;
    bool requested = false;
    bool captured = false;
    int capturedWidth = 0;
    int capturedHeight = 0;
    std::vector<uint8_t> pixels;
};

}  // namespace Orvanta
