#include "renderer/RayTracingUniforms.h"

#include "platform/gl/GlExtensions.h"

namespace Orvanta {

bool setRayTracingUniform(const RayTracingSet& set, UniformSemantic semantic, int location)
{
    if (semantic != RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS)
        return false;
    glUniform2fvARB(location, 9, &set.borderCorrectionOffsets[0][0]);
    return true;
}

}  // namespace Orvanta
