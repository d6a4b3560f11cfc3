#pragma once
#include "renderer/AntiAliasingSet.h"

namespace Orvanta {

class TextureUnitTable;

// What the anti-aliasing pass takes from the renderer.
struct AntiAliasingPassInputs {
    // Feeds the program's uniforms (the input texture and its texel size) and records the units.
    UniformValueSource* uniforms = nullptr;
    TextureUnitTable* textureUnits = nullptr;
};

// Draws the set's input, edges smoothed, over the whole target bound now (the window's
// framebuffer in the frame). The caller keeps GL_FRAMEBUFFER_SRGB on, as for the tone map, so the
// linear result is encoded as the input was. Leaves no program current and every texture unit
// empty; matrices and the depth test are as before. Does nothing when the set is not built or an
// input is missing.
void drawAntiAliasing(const AntiAliasingSet& set, const AntiAliasingPassInputs& inputs);

}  // namespace Orvanta
