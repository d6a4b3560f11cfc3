#pragma once
#include "gpu/Semantics.h"
#include "renderer/SkyLightingVolume.h"

namespace Orvanta {

class Texture;

// The sky lighting family of uniform semantics, for the renderer's uniform value source: the
// volume's extent and cell size, the occlusion corners, the sampling vectors and their counts.
// Sets a non-sampler uniform in its GL form (the program must be current); returns false when
// the semantic is not one of them.
bool setSkyLightingUniform(const SkyLightingVolume& volume, UniformSemantic semantic, int location);

// The volume texture behind SKY_LIGHTING_VOLUME_TEXTURE0 ... 6, or null.
Texture* skyLightingTexture(const SkyLightingVolume& volume, UniformSemantic semantic);

}  // namespace Orvanta
