#include "renderer/AntiAliasingPass.h"

#include "platform/gl/GlExtensions.h"
#include "gpu/ShaderProgram.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

void drawAntiAliasing(const AntiAliasingSet& set, const AntiAliasingPassInputs& in)
{
    if (!set.created() || !in.uniforms || !in.textureUnits)
        return;
    beginFullScreenPass();
    applyPassUniforms(nullptr, nullptr, in.uniforms, *set.program, nullptr);
    drawFullScreenQuad({});
    endFullScreenPass();
    in.textureUnits->unbindAll();
    glUseProgramObjectARB(0);
}

}  // namespace Orvanta
