#pragma once
#include "overlay/OverlayLayout.h"

#include <vector>

namespace Orvanta {

struct OverlayTarget;

// Draws overlay items with the fixed-function pipeline over the window's framebuffer: an
// orthographic projection of client pixels (origin top-left), identity modelview, depth test
// off, source-alpha blending. Textured items bind their texture on unit 0 through the renderer's
// texture-unit table, which is reset after each one. The matrices, enables, blend function,
// current colour, matrix mode and texture bindings are restored afterwards.
void drawOverlayItems(const std::vector<OverlayItem>& items, const OverlayTarget& target);

}  // namespace Orvanta
