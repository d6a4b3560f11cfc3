#pragma once
#include "gpu/Semantics.h"
#include "renderer/SsaoSet.h"

namespace Orvanta {

class Texture;

// The ambient-occlusion family of uniform semantics, for the renderer's uniform value source:
// the result texture, the sampling vectors and their count, the distance, intensity and blur
// radius, and the blur coefficients and their count.

// Sets a non-sampler SSAO uniform in its GL form (the program must be current). Returns false
// when the semantic is not one of them, or when the set has not been built yet.
bool setSsaoUniform(const SsaoSet& set, UniformSemantic semantic, int location);

// The texture behind SSAO_TEXTURE (the half-resolution ambient factor), or null.
Texture* ssaoTexture(const SsaoSet& set, UniformSemantic semantic);

}  // namespace Orvanta
