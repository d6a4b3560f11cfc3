#pragma once
#include "gpu/Semantics.h"
#include "renderer/ShadowMapSet.h"

namespace Orvanta {

class Texture;

// The shadow family of uniform semantics, for the renderer's uniform value source: the point-light
// face matrices and maps, the cascaded and overlapped matrices, split distances, sun radii and
// maps, the soft-shadow sampling vectors and counts, and the sampling noise.
bool isShadowSemantic(UniformSemantic semantic);

// Sets a non-sampler shadow uniform in its GL form (the program must be current). Returns false
// when the semantic is not one of them or is a sampler.
bool setShadowUniform(const ShadowMapSet& set, UniformSemantic semantic, int location);

// The texture behind a shadow sampler semantic, or null.
Texture* shadowTexture(const ShadowMapSet& set, UniformSemantic semantic);

}  // namespace Orvanta
