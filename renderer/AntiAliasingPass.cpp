#include "renderer/AntiAliasingPass.h"

#include "renderer/FullScreenQuad.h"

namespace Orvanta {

void drawAntiAliasing(const PassContext& context, const AntiAliasingSet& set)
{
    if (!set.created())
        return;
    drawFullScreenProgram(*set.program, &context.uniforms, context.textureUnits);
}

}  // namespace Orvanta
