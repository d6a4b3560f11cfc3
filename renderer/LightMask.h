#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/ScreenSizedTargets.h"

namespace Orvanta {

// The client-sized 8-bit target a light's mask pass writes (the shadowed share of the light per
// pixel) and its lighting pass reads (LIGHT_MASK_TEXTURE). No stencil buffer: the lighting passes'
// stencil test lets every pixel of it through.
struct LightMask : ScreenSizedTargets {
    void resizeTargets(int width, int height) override;
    Texture2D* texture() const { return target.colorTexture(0); }

    FrameBuffer target;
};

}  // namespace Orvanta
