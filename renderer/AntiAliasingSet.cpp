#include "renderer/AntiAliasingSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

const char* const AntiAliasingShaderPath = "resources/shaders/engine/antiAliasingFragment.shader";

void AntiAliasingSet::create(int width, int height)
{
    resizeTargets(width, height);
    program = getFragmentProgram(AntiAliasingShaderPath);
}

void AntiAliasingSet::resizeTargets(int width, int height)
{
    constexpr int filterLinear = 1;
    input.create(width, height);
    input.addColorAttachment(0, PixelFormatSrgbBgra8, filterLinear, false);
    input.setDrawBuffers();
    input.checkComplete("anti-aliasing input");
}

bool setAntiAliasingUniform(const AntiAliasingSet& set, UniformSemantic semantic, int location)
{
    if (semantic != ANTI_ALIASING_TEXEL_SIZE || !set.created())
        return false;
    glUniform2fARB(location, 1.0f / static_cast<float>(set.input.width), 1.0f / static_cast<float>(set.input.height));
    return true;
}

Texture* antiAliasingTexture(const AntiAliasingSet& set, UniformSemantic semantic)
{
    if (semantic != ANTI_ALIASING_INPUT_TEXTURE || !set.created())
        return nullptr;
    return set.inputTexture();
}

}  // namespace Orvanta
