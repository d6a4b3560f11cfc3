#pragma once
#include "SurfaceTexture.h"

#include <vector>

namespace Orvanta {

// Every procedural surface of the kindergarten: bricks, plaster, roof tiles, wood, grass, sand,
// paving, painted metal, steel, rubber, bark, leaves, window frames, glass, water and the
// translucent canopy. One tile covers one metre of texture coordinates.
std::vector<SurfaceTextureDef> demoSurfaces();

}  // namespace Orvanta
