#include "renderer/RayTracingUniforms.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

bool setRayTracingUniform(const RayTracingSet& set, UniformSemantic semantic, int location)
{
    if (semantic != RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS)
        return false;
    glUniform2fvARB(location, 9, &set.borderCorrectionOffsets[0][0]);
    return true;
}

Texture* rayTracingTexture(const RayTracingSet& set, UniformSemantic semantic)
{
    switch (semantic) {
    case RAYTRACING_CURRENT_EFFECT_TEXTURE:
        return set.reflectionTargets.lastFinished();
    case RAYTRACING_REFLECTIONS_TEXTURE:
        return set.reflectionTargets.lastFinished();
    case RAYTRACING_REFRACTIONS_TEXTURE:
        return set.refractionTargets.lastFinished();
    default:
        return nullptr;
    }
}

}  // namespace Orvanta
