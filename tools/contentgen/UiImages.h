#pragma once
#include <string>

namespace Orvanta {

// Renders the overlay's label, hint, "screenshot saved", check-mark, "FPS" and digit images with FreeType from
// DejaVu Sans into <uiRoot>/, each sized for the quad it is drawn on. Fails with a message when
// the font is missing.
bool writeUiImages(const std::string& uiRoot, std::string& error);

}  // namespace Orvanta
