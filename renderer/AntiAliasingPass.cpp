#include "renderer/AntiAliasingPass.h"

#include "renderer/FullScreenQuad.h"

namespace Orvanta {

void drawAntiAliasing(const AntiAliasingSet& set, const AntiAliasingPassInputs& in)
{
    if (!set.created() || !in.uniforms || !in.textureUnits)
        return;
    drawFullScreenProgram(*set.program, in.uniforms, *in.textureUnits);
}

}  // namespace Orvanta
