#pragma once
#include "renderer/IrradianceProbeSet.h"
#include "renderer/PassContext.h"

namespace Orvanta {

// What the probes' apply pass reads besides its set: the G-buffer it lights (null: the
// rasterised one).
struct IrradianceProbeInputs {
    GBufferInterface* gBuffer = nullptr;
};

// Adds the probes' diffuse light to the target on top of the framebuffer stack for the pixels the
// stencil lets through inside the grid, and raises their stencil by one: the sky lighting and the
// volumes' diffuse light, which test for 1, leave them. Uploads what the last update changed
// first. Nothing without an update before it.
void drawIrradianceProbes(const PassContext& context, IrradianceProbeSet& set, const IrradianceProbeInputs& inputs);

}  // namespace Orvanta
