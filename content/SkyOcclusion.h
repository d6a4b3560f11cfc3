#pragma once
#include "content/SceneFile.h"
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

// The corners of the loaded scene's sky occlusion quads, four per quad in file order; the sky
// lighting volume reads them. Its size is the corner count (4 x quad count). Filled by loadScene.
std::vector<Float3>& skyOcclusionCorners();

// A scene record cannot hold corner 3's z, so every occlusion quad is a parallelogram defined by
// its first three corners: corner 3 = corner 0 + corner 2 - corner 1. The sky lighting reads
// corners 0, 1 and 2 only; content writes corner 3 by this rule so that its stored x and y agree.
Float3 parallelogramFourthCorner(Float3 corner0, Float3 corner1, Float3 corner2);
OcclusionQuad occlusionParallelogram(Float3 corner0, Float3 corner1, Float3 corner2);

}  // namespace Orvanta
