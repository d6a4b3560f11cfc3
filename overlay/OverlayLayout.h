#pragma once
#include <string>
#include <vector>

namespace Orvanta {

class ControlPanel;
class Texture2D;

// One thing the overlay draws, in panel pixels (origin top-left, y down).
struct OverlayItem {
    enum Kind {
        FilledQuad,    // the rectangle in `color`
        Outline,       // a line loop through (x0, y0), (x0, y1), (x1, y1), (x1, y0) in `color`
        TexturedQuad,  // `texture` in white; texture coordinate (0, 0) at (x0, y0), (1, 1) at (x1, y1)
    };
    Kind kind = FilledQuad;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float color[4] = {1, 1, 1, 1};
    Texture2D* texture = nullptr;
};

// What the overlay draws in look mode: the F1 hint over (0, 0)-(256, 32).
std::vector<OverlayItem> lookModeItems(const ControlPanel& panel);

// The "screenshot saved" notice: 256 x 32 pixels, 8 pixels in from the window's bottom-left corner.
std::vector<OverlayItem> noticeItems(const ControlPanel& panel, int windowHeight);

// What the overlay draws in UI mode, back to front: the translucent background with its outline;
// each slider's knob, track and label; each check box's check mark (when on), outline and label;
// the "FPS" image and one digit image per character of counterText, 13 pixels apart from x 540.
std::vector<OverlayItem> uiModeItems(const ControlPanel& panel, const std::string& counterText);

}  // namespace Orvanta
