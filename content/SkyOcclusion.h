#pragma once
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

// The corners of the loaded scene's sky occlusion quads, four per quad in file order; the sky
// lighting volume reads them. Its size is the corner count (4 x quad count). Filled by loadScene.
std::vector<Float3>& skyOcclusionCorners();

}  // namespace Orvanta
