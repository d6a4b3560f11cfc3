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
// Deepest level of the tree: nodes at this depth are always leaves (no path crosses more than this
// many interior nodes).
inline constexpr uint32_t kKdMaxDepth = 20;
// The root box starts inverted at this bound and grows over the triangles; an empty scene keeps
// the inverted box. Far beyond any scene the engine loads.
inline constexpr float kKdRootBoxBound = 10000.0f;

// The surface-area rule, for scenes of any scale (KdBuildRule::SurfaceArea): split planes at
// kKdSahBins even steps over each axis of the node's own box, costs from the triangles' boxes
// clipped to the node, and a node stays a leaf when no split is estimated cheaper than testing its
// triangles. The walks test a leaf's triangles several at a time in SIMD lanes, so a triangle
// costs them about a third of a traversal step (measured on the benchmark set: dearer triangles
// give deeper trees with more nodes per ray and more references per triangle).
inline constexpr uint32_t kKdSahBins = 32;
inline constexpr float kKdSahTraversalCost = 1.0f;
inline constexpr float kKdSahIntersectionCost = 0.3f;
// A split that leaves one side empty lets rays skip that space without a test: its cost is scaled
// down by this factor, which makes the build cut empty space off early, where the empty side
// holds at least kKdSahEmptyShare of the node's extent on the split axis (a thinner sliver saves
// rays nothing and would only add a level).
inline constexpr float kKdSahEmptyFactor = 0.8f;
inline constexpr float kKdSahEmptyShare = 0.1f;
// Its depth limit grows with the triangle count (8 + 1.3 log2 of it), never past this; the walks'
// stacks hold one entry per level of the deepest tree either rule builds.
inline constexpr uint32_t kKdDeepestTree = 40;

}  // namespace Orvanta
