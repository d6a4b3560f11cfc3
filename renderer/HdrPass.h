#pragma once
#include "renderer/HdrSet.h"
#include "renderer/PassContext.h"

namespace Orvanta {

// What the tone map reads besides the set: the exposure (above 0: fixed; 0 or below: the adapted
// one from the exposure target) and the target it writes (null: the one bound, the window's;
// the anti-aliasing input when the frame's edges are smoothed after it, in the display's
// encoding).
struct ToneMapInputs {
    float fixedExposure = 0.0f;
    FrameBuffer* target = nullptr;
};

// Luminance of the scene target into the luminance target and its mipmap average, the eye's
// adaptation from the previous frame's value toward it, and the exposure the tone map reads.
// Moves the set's adaptation index on to the next frame's target.
void measureLuminance(const PassContext& context, HdrSet& set);

// The scene target through the exposure into the inputs' target. Leaves no program current and
// every texture unit empty.
void toneMap(const PassContext& context, const HdrSet& set, const ToneMapInputs& inputs);

}  // namespace Orvanta
