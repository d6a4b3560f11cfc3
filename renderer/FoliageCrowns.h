#pragma once
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

class ObjectInstance;

// A tree's or bush's crown as the sky lighting volume sees it: an ellipsoid of leaves with the
// given centre and radii along the world axes, which lets part of the sky through.
struct FoliageCrown {
    Float3 centre;
    Float3 radii;
};

// A crown's smallest radius; a thinner box is a flat submesh, not a crown.
constexpr float MinimumCrownRadius = 0.05f;

// One crown per alpha-tested submesh (the leaf cards) of every instance: the ellipsoid inscribed
// in the world-space box around the submesh's box as the instance places it. Submeshes without
// a material, with an empty box or thinner than MinimumCrownRadius on an axis are left out.
std::vector<FoliageCrown> foliageCrowns(const std::vector<ObjectInstance*>& instances);

}  // namespace Orvanta
