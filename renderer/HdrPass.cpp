#include "platform/gl/GlExtensions.h"
#include "gpu/Texture.h"
#include "renderer/Renderer.h"

namespace Orvanta {

void Renderer::measureLuminance()
{
    beginFullScreenPass();
    applyPassUniforms(nullptr, nullptr, *hdr.luminanceProgram, nullptr);
    pushFrameBuffer(&hdr.luminance);
    drawFullScreenQuad({});
    popFrameBuffer();

    // The smallest mipmap level becomes the average over the whole 512 x 512 image.
    bindTextureUnitChecked(0, hdr.luminanceTexture());
    glGenerateMipmap(GL_TEXTURE_2D);

    // Written: adaptation target [index]; read as the previous value: target [1 - index].
    pushFrameBuffer(&hdr.adaptation[hdr.adaptationIndex]);
    applyPassUniforms(nullptr, nullptr, *hdr.eyeAdaptationProgram, nullptr);
    drawFullScreenQuad({});
    popFrameBuffer();
    hdr.adaptationIndex = 1 - hdr.adaptationIndex;
    endFullScreenPass();
}

void Renderer::toneMap()
{
    beginFullScreenPass();
    applyPassUniforms(nullptr, nullptr, *hdr.toneMappingProgram, nullptr);
    drawFullScreenQuad({});
    endFullScreenPass();
}

}  // namespace Orvanta
