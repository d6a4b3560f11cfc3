#include "renderer/SsaoPass.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

namespace {

// The noise texture repeats every this many pixels of the occlusion target.
constexpr float noiseTileSize = 32.0f;

// The fixed-function pipeline copies the full-size depth into the half-size target: texture unit
// 0 alone, modulated by a white colour. Each half-size pixel's centre falls on the corner of four
// full-size texels, where nearest filtering would pick one of them by rounding, differently on
// the two triangles of the quad; half a texel's shift through the texture matrix makes every
// pixel take the lower-left texel of its four (never a blend of a near and a far surface). The
// occlusion shader reconstructs positions at that texel's centre.
void copyDepth(const PassContext& context, SsaoSet& set, const SsaoInputs& in)
{
    context.frameBuffers.push(&set.depth);
    glUseProgramObjectARB(0);
    context.textureUnits.unbindAll();
    context.textureUnits.bind(0, in.gBufferDepth);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(-0.5f / static_cast<float>(set.blur.width), -0.5f / static_cast<float>(set.blur.height), 0.0f);
    drawFullScreenQuad({});
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    context.textureUnits.unbindAll();
    context.frameBuffers.pop();
}

void estimateOcclusion(const PassContext& context, SsaoSet& set, const SsaoInputs& in)
{
    // The program's depth sampler reads the half-size copy, whose pixels match the target's.
    applyProgramUniforms(context, *set.occlusionProgram,
                         ProgramInputs{}.with(GBUFFER_DEPTH_TEXTURE, set.depthTexture()));
    context.frameBuffers.push(&set.occlusion);
    FullScreenQuad quad;
    quad.rays = in.rays;
    quad.withNoise = true;
    quad.noiseWidth = static_cast<float>(set.occlusion.width) / noiseTileSize;
    quad.noiseHeight = static_cast<float>(set.occlusion.height) / noiseTileSize;
    drawFullScreenQuad(quad);
    context.frameBuffers.pop();
}

void blurHorizontally(const PassContext& context, SsaoSet& set, const SsaoInputs& in)
{
    context.frameBuffers.push(&set.blur);
    // Reads the occlusion just estimated (SSAO_TEXTURE, the set's result).
    applyProgramUniforms(context, *set.horizontalBlurProgram, {});
    FullScreenQuad quad;
    quad.rays = in.rays;
    drawFullScreenQuad(quad);
    context.frameBuffers.pop();
}

// The vertical blur's alpha is the ambient factor; blending multiplies the target's colour by it.
void blurVerticallyAndApply(const PassContext& context, SsaoSet& set, const SsaoInputs& in)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_ALPHA);
    // The program's occlusion sampler reads the horizontally blurred factor.
    applyProgramUniforms(context, *set.verticalBlurProgram, ProgramInputs{}.with(SSAO_TEXTURE, set.blurTexture()));
    FullScreenQuad quad;
    quad.rays = in.rays;
    drawFullScreenQuad(quad);
    glDisable(GL_BLEND);
}

}  // namespace

void drawSsao(const PassContext& context, SsaoSet& set, const SsaoInputs& in)
{
    if (!set.created() || !in.gBufferDepth || !in.rays)
        return;
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    copyDepth(context, set, in);
    estimateOcclusion(context, set, in);
    blurHorizontally(context, set, in);
    blurVerticallyAndApply(context, set, in);
    endFullScreenPass();
    glDepthMask(GL_TRUE);
}

}  // namespace Orvanta
