#pragma once
#include "content/KdTree.h"
#include "raytracing/Ray.h"

namespace Orvanta {

// Front-to-back walk of the tree with a fixed 20-entry stack. Afterwards tHit, hitAccel,
// hitTriangle, beta and gamma describe the nearest accepted hit; tHit stays 100000 without one.
void traverse(const KdTree& tree, Ray& ray);

}  // namespace Orvanta
