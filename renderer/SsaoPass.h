#pragma once
#include "renderer/PassContext.h"
#include "renderer/SsaoSet.h"

namespace Orvanta {

class Texture;
struct FrustumVectors;

// What the ambient-occlusion pass reads besides its set and the context's frame-wide values.
struct SsaoInputs {
    // The G-buffer's linear eye depth at full size (0 where nothing was drawn).
    Texture* gBufferDepth = nullptr;
    // The camera's corner rays at unit depth, sent with the occlusion quad.
    const FrustumVectors* rays = nullptr;
};

// Multiplies the target on top of the framebuffer stack by the ambient factor: copies the depth
// to half size, estimates the occlusion there, blurs it horizontally into the full-size blur
// target and applies the vertical blur to the target by blending (its colour times the shader's
// alpha). Depth test and writes are off throughout and on again afterwards; both matrices and
// the bound target are as before. Does nothing when the set is not built or an input is missing.
void drawSsao(const PassContext& context, SsaoSet& set, const SsaoInputs& inputs);

}  // namespace Orvanta
