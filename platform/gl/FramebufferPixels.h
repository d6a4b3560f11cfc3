#pragma once
#include <cstdint>
#include <vector>

namespace Orvanta {

// The colour of a framebuffer's width x height pixels from its origin as RGBA8, top row first
// (as a screenshot shows them): framebuffer 0 is read from the window's back buffer, where the
// frame is drawn before it is presented. The read framebuffer binding is restored.
std::vector<uint8_t> readFramebufferPixels(unsigned framebuffer, int width, int height);

}  // namespace Orvanta
