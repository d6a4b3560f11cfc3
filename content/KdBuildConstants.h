#pragma once
#include <cstdint>

namespace Orvanta {

// The numbers that shape a kd-tree. Saved trees are only valid for the values they were built
// with, and the literal reference build in the tests uses the same ones; change them together.

// Split planes are tried every 0.1 world units (single-precision steps from the node box's
// minimum): fine enough for the demo's metre-scale scene, coarse enough to build in seconds.
inline constexpr float kKdCandidateStep = 0.1f;
// Surface-area cost of a split: one traversal step plus ten units per expected triangle test,
// the usual ratio that favours deep trees with small leaves.
inline constexpr float kKdTraversalCost = 1.0f;
inline constexpr float kKdIntersectionCost = 10.0f;
// A node with at most this many triangles becomes a leaf: four triangles are tested about as fast
// as one more traversal step.
inline constexpr uint32_t kKdLeafTriangles = 4;
// Deepest level of the tree: nodes at this depth are always leaves, which bounds the traversal
// stack (no path crosses more than this many interior nodes).
inline constexpr uint32_t kKdMaxDepth = 20;
// The root box starts inverted at this bound and grows over the triangles; an empty scene keeps
// the inverted box. Far beyond any scene the engine loads.
inline constexpr float kKdRootBoxBound = 10000.0f;

}  // namespace Orvanta
