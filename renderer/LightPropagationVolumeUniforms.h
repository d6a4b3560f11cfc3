#pragma once
#include "gpu/Semantics.h"
#include "renderer/LightPropagationVolumeSet.h"

namespace Orvanta {

class Texture;

// The light-propagation family of uniform semantics, for the programs of a volume's passes. All
// of them read the volume at `index` in the set: its cell counts (as floats), cell size, lights weight,
// position and world size, the reflective shadow map's textures and inverted matrix, the source
// volume the draw names (the propagation step's source, or the target a step just wrote), the
// accumulation volume and the geometry volume.

// Sets a non-sampler uniform of the family in its GL form (the program must be current). Returns
// false when the semantic is not one of them or is a sampler.
bool setLightPropagationVolumeUniform(const LightPropagationVolumeSet& set, int index, UniformSemantic semantic,
                                      int location);

// The texture behind a sampler semantic of the family, or null.
Texture* lightPropagationVolumeTexture(const LightPropagationVolumeSet& set, int index, VolumeTarget source,
                                       UniformSemantic semantic);

}  // namespace Orvanta
