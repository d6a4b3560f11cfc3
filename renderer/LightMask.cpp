#include "renderer/LightMask.h"

#include "gpu/Texture.h"

namespace Orvanta {

void LightMask::resizeTargets(int width, int height)
{
    target.create(width, height);
    target.addColorAttachment(0, PixelFormatIntensity8, 0, false);
    target.setDrawBuffers();
    target.checkComplete("light mask");
}

}  // namespace Orvanta
