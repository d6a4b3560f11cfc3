#include "renderer/HdrPass.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

void measureLuminance(const PassContext& context, HdrSet& set)
{
    beginFullScreenPass();
    applyProgramUniforms(context, *set.luminanceProgram, {});
    context.frameBuffers.push(&set.luminance);
    drawFullScreenQuad({});
    context.frameBuffers.pop();

    // The smallest mipmap level becomes the average over the whole 512 x 512 image.
    context.textureUnits.bind(0, set.luminanceTexture());
    glGenerateMipmap(GL_TEXTURE_2D);

    // Adapts from the previous frame's value into the other target, then works the exposure out
    // from the value just adapted.
    FrameBuffer& adapted = set.adaptation[set.adaptationIndex];
    Texture2D* previous = set.adaptation[1 - set.adaptationIndex].colorTexture(0);
    context.frameBuffers.push(&adapted);
    applyProgramUniforms(context, *set.eyeAdaptationProgram,
                         ProgramInputs{}.with(HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE, previous));
    drawFullScreenQuad({});
    context.frameBuffers.pop();

    context.frameBuffers.push(&set.exposure);
    applyProgramUniforms(context, *set.exposureProgram,
                         ProgramInputs{}.with(HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE, adapted.colorTexture(0)));
    drawFullScreenQuad({});
    context.frameBuffers.pop();
    endFullScreenPass();
    // The next frame adapts from this frame's value.
    set.adaptationIndex = 1 - set.adaptationIndex;
}

void toneMap(const PassContext& context, const HdrSet& set, const ToneMapInputs& inputs)
{
    if (inputs.target)
        context.frameBuffers.push(inputs.target);
    beginFullScreenPass();
    applyProgramUniforms(context, *set.toneMappingProgram,
                         ProgramInputs{}.with(HDR_FIXED_EXPOSURE, inputs.fixedExposure));
    drawFullScreenQuad({});
    endFullScreenPass();
    if (inputs.target)
        context.frameBuffers.pop();
    context.textureUnits.unbindAll();
    glUseProgramObjectARB(0);
}

}  // namespace Orvanta
