#pragma once
#include "renderer/GBuffer.h"
#include "renderer/LightMask.h"
#include "renderer/PassContext.h"

#include <vector>

namespace Orvanta {

class RenderCamera;
struct FrustumVectors;

// What the direct lighting reads besides the G-buffer set whose programs light: the lights in
// list order, the main view (the point lights' scissor rectangles are projected through it), its
// corner rays at unit depth, the client size, and either the light mask that each rasterised
// light's mask pass writes and its lighting reads, or the traced G-buffer lit instead (its sun
// through the overlapped maps, no mask).
struct DirectLightInputs {
    const std::vector<Light*>* lights = nullptr;
    const RenderCamera* camera = nullptr;
    const FrustumVectors* rays = nullptr;
    int clientWidth = 0;
    int clientHeight = 0;
    LightMask* mask = nullptr;
    GBufferInterface* traced = nullptr;
};

// Adds each light to the target on top of the framebuffer stack, blending one and one: a point
// light within its scissor rectangle, the sun through its mask (rasterised) or its overlapped
// maps (traced). Ambient and projected lights add nothing.
void drawDirectLights(const PassContext& context, GBuffer& set, const DirectLightInputs& inputs);

}  // namespace Orvanta
