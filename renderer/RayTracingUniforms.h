#pragma once
#include "gpu/Semantics.h"
#include "renderer/RayTracingSet.h"

namespace Orvanta {

// The ray-tracing family of uniform semantics, for the renderer's uniform value source. The ray
// origins and directions come from the G-buffer a pass reads instead (a traced one); the traced
// images (RAYTRACING_CURRENT_EFFECT_TEXTURE, RAYTRACING_REFLECTIONS_TEXTURE,
// RAYTRACING_REFRACTIONS_TEXTURE) and RAYTRACING_REFRACTIONS_ON are the inputs of the draws that
// read them.

// Sets RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS, nine two-component vectors (the program must be
// current). Returns false for any other semantic.
bool setRayTracingUniform(const RayTracingSet& set, UniformSemantic semantic, int location);

}  // namespace Orvanta
