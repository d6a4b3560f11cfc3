#pragma once
#include "gpu/Semantics.h"
#include "renderer/RayTracingSet.h"

namespace Orvanta {

class Texture;

// The ray-tracing family of uniform semantics, for the renderer's uniform value source. The ray
// origins and directions come from the G-buffer a pass reads instead (a traced one).

// Sets RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS, nine two-component vectors (the program must be
// current). Returns false for any other semantic; RAYTRACING_REFRACTIONS_ON is the composite's
// program input.
bool setRayTracingUniform(const RayTracingSet& set, UniformSemantic semantic, int location);

// The last finished image of the reflection pair (RAYTRACING_REFLECTIONS_TEXTURE, and
// RAYTRACING_CURRENT_EFFECT_TEXTURE unless the effect pass names its own pair) or of the refraction pair
// (RAYTRACING_REFRACTIONS_TEXTURE); null for any other semantic.
Texture* rayTracingTexture(const RayTracingSet& set, UniformSemantic semantic);

}  // namespace Orvanta
