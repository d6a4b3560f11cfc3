#pragma once

namespace Orvanta {

struct Object;

// True when the material of at least one submesh has a "SKY" pass: such objects are never culled.
bool objectHasSkyPass(const Object& object);
// True when the material of at least one submesh has a "RAYCASTING" pass.
bool objectHasRaycastingPass(const Object& object);

}  // namespace Orvanta
