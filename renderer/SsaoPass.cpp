#include "renderer/SsaoPass.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

namespace {

// The noise texture repeats every this many pixels of the occlusion target.
constexpr float noiseTileSize = 32.0f;

// Binds a texture in place of what applyPassUniforms gave the program's sampler of `semantic`.
// Which unit that sampler got follows the driver's order of active uniforms, so the program is
// asked rather than unit 0 assumed.
void replaceSamplerTexture(const ShaderProgram& program, UniformSemantic semantic, Texture* texture,
                           TextureUnitTable& units)
{
    int unit = samplerUnit(program, semantic);
    if (unit >= 0)
        units.bind(unit, texture);
}

// The fixed-function pipeline copies the full-size depth into the half-size target: texture unit
// 0 alone, modulated by a white colour. Each half-size pixel's centre falls on the corner of four
// full-size texels, where nearest filtering would pick one of them by rounding, differently on
// the two triangles of the quad; half a texel's shift through the texture matrix makes every
// pixel take the lower-left texel of its four (never a blend of a near and a far surface). The
// occlusion shader reconstructs positions at that texel's centre.
void copyDepth(SsaoSet& set, const SsaoPassInputs& in)
{
    in.frameBuffers->push(&set.depth);
    glUseProgramObjectARB(0);
    in.textureUnits->unbindAll();
    in.textureUnits->bind(0, in.gBufferDepth);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(-0.5f / static_cast<float>(set.blur.width), -0.5f / static_cast<float>(set.blur.height), 0.0f);
    drawFullScreenQuad({});
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    in.textureUnits->unbindAll();
    in.frameBuffers->pop();
}

void estimateOcclusion(SsaoSet& set, const SsaoPassInputs& in)
{
    applyPassUniforms(nullptr, nullptr, in.uniforms, *set.occlusionProgram, nullptr);
    // The program's depth sampler reads the half-size copy, whose pixels match the target's.
    replaceSamplerTexture(*set.occlusionProgram, GBUFFER_DEPTH_TEXTURE, set.depthTexture(), *in.textureUnits);
    in.frameBuffers->push(&set.occlusion);
    FullScreenQuad quad;
    quad.rays = in.rays;
    quad.withNoise = true;
    quad.noiseWidth = static_cast<float>(set.occlusion.width) / noiseTileSize;
    quad.noiseHeight = static_cast<float>(set.occlusion.height) / noiseTileSize;
    drawFullScreenQuad(quad);
    in.frameBuffers->pop();
}

void blurHorizontally(SsaoSet& set, const SsaoPassInputs& in)
{
    in.frameBuffers->push(&set.blur);
    applyPassUniforms(nullptr, nullptr, in.uniforms, *set.horizontalBlurProgram, nullptr);
    FullScreenQuad quad;
    quad.rays = in.rays;
    drawFullScreenQuad(quad);
    in.frameBuffers->pop();
}

// The vertical blur's alpha is the ambient factor; blending multiplies the target's colour by it.
void blurVerticallyAndApply(SsaoSet& set, const SsaoPassInputs& in)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_ALPHA);
    applyPassUniforms(nullptr, nullptr, in.uniforms, *set.verticalBlurProgram, nullptr);
    // The program's occlusion sampler reads the horizontally blurred factor.
    replaceSamplerTexture(*set.verticalBlurProgram, SSAO_TEXTURE, set.blurTexture(), *in.textureUnits);
    FullScreenQuad quad;
    quad.rays = in.rays;
    drawFullScreenQuad(quad);
    glDisable(GL_BLEND);
}

}  // namespace

int samplerUnit(const ShaderProgram& program, UniformSemantic semantic)
{
    for (const UniformBinding& binding : program.uniformBindings) {
        if (binding.semantic != semantic || binding.location < 0)
            continue;
        GLint unit = -1;
        glGetUniformivARB(program.program, binding.location, &unit);
        return unit;
    }
    return -1;
}

void drawSsao(SsaoSet& set, const SsaoPassInputs& in)
{
    if (!set.created() || !in.gBufferDepth || !in.rays || !in.uniforms || !in.frameBuffers || !in.textureUnits)
        return;
    glDepthMask(GL_FALSE);
    beginFullScreenPass();
    copyDepth(set, in);
    estimateOcclusion(set, in);
    blurHorizontally(set, in);
    blurVerticallyAndApply(set, in);
    endFullScreenPass();
    glDepthMask(GL_TRUE);
}

}  // namespace Orvanta
