#pragma once
#include "content/KdSplit.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Orvanta {

// The deepest level the surface-area rule builds to for a scene of `triangles` triangles:
// 8 + 1.3 log2(triangles), at most kKdDeepestTree. Deep enough for leaves of a few triangles on
// any scene, shallow enough that triangles spread over many leaves do not multiply without end.
uint32_t kdSahMaxDepth(size_t triangles);

// The surface-area rule's split of a node with box `box` holding the triangles of `entries`: the
// cheapest of kKdSahBins - 1 evenly spaced planes inside the box on each axis, each costed from
// how many of the triangles' boxes, clipped to the node, reach either side. Not found when testing
// the node's triangles in a leaf is estimated at least as cheap, or the box has no extent to cut.
KdSplitChoice chooseSahSplit(const KdNodeBox& box, const std::vector<KdSplitEntry>& entries,
                             const std::vector<RtTriangle>& triangles);

}  // namespace Orvanta
