#pragma once
#include "renderer/AntiAliasingSet.h"
#include "renderer/PassContext.h"

namespace Orvanta {

// Draws the set's input, edges smoothed, over the whole target bound now (the window's
// framebuffer in the frame). The caller keeps GL_FRAMEBUFFER_SRGB on, as for the tone map, so the
// linear result is encoded as the input was. Reads nothing but the set (its input texture and
// texel size). Leaves no program current and every texture unit empty; matrices and the depth
// test are as before. Does nothing when the set is not built.
void drawAntiAliasing(const PassContext& context, const AntiAliasingSet& set);

}  // namespace Orvanta
