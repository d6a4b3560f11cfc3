#pragma once
#include "content/KdTree.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

// Pieces of the split choice that every way of counting must evaluate identically, operation for
// operation, so that the chosen split does not depend on how the counts were obtained.

inline float axisOf(const Float3& p, uint32_t axis)
{
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}
inline float& axisOf(Float3& p, uint32_t axis)
{
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

// Fills `candidates` (replacing its content) with the positions along one axis: boxMin, then
// repeated single-precision +0.1 while boxMax > c. Stops when the addition no longer moves c
// (coordinates beyond about 2^21), where stepping on would never end.
void fillSplitCandidates(float boxMin, float boxMax, std::vector<float>& candidates);

// Interval overlap in the centre / half-extent form, inclusive.
inline bool intervalsOverlap(float minA, float maxA, float minB, float maxB)
{
    const float centreA = (minA + maxA) * 0.5f, halfA = (maxA - minA) * 0.5f;
    const float centreB = (minB + maxB) * 0.5f, halfB = (maxB - minB) * 0.5f;
    const float distance = centreA > centreB ? centreA - centreB : centreB - centreA;
    return distance <= halfA + halfB;
}

inline float surfaceArea(const Float3& lo, const Float3& hi)
{
    const float dx = hi.x - lo.x, dy = hi.y - lo.y, dz = hi.z - lo.z;
    return 2.0f * (dx * dy + dy * dz + dz * dx);
}

// 1 + 10 * (SA(left)/SA(box) * nLeft + SA(right)/SA(box) * nRight) for a split of box at c.
float splitCost(const KdNodeBox& box, uint32_t axis, float c, uint32_t nLeft, uint32_t nRight);

struct KdSplitChoice {
    bool found = false;
    uint32_t axis = 0;
    float position = 0.0f;
    uint32_t candidate = 0;  // the position's index among the axis's candidates
};

// A triangle of a node's list with what the split search found out about it on each axis, kept so
// that a child whose box spans the same interval on an axis (every axis but its parent's split
// axis) replays the result instead of finding it again. Only the search reads or writes the
// fields other than triangle.
struct KdSplitEntry {
    uint32_t triangle = 0;
    uint8_t overlaps = 0;             // bit a: the triangle's box overlaps the node box on axis a
    uint8_t special = 0;              // bit a: axis a needs the full count (float tests to evaluate)
    int32_t leftFrom[3] = {0, 0, 0};  // the left boxes overlap the triangle from this candidate on
    int32_t rightTo[3] = {0, 0, 0};   // the right boxes overlap the triangle below this candidate
};

// The largest coordinate magnitude of a box.
float kdSplitScale(const KdNodeBox& box);

// What a node's entries hold when its split is searched.
struct KdSplitOrigin {
    // At least kdSplitScale of the node's box, and the same for every node whose entries came
    // from one another (the root's scale, in a build).
    float scale = 0.0f;
    // Bit a: axis a is examined afresh. On the others the entries must hold what a search of a
    // box with the same interval on that axis left in them.
    uint32_t staleAxes = 7u;
    // For a child on its parent's split axis (its one stale axis): the entries hold the parent's
    // search there. The left child keeps the left boxes' results (its candidates are the parent's
    // below the split), the right child the right boxes' (the parent's from the split, `candidate`,
    // on).
    bool fromParent = false;
    bool isLeft = false;
    uint32_t candidate = 0;
};

// The origin of a child of a node searched under `parent` and split at `split`.
KdSplitOrigin childSplitOrigin(const KdSplitOrigin& parent, const KdSplitChoice& split, bool isLeft);

// The cheapest candidate (first on ties) for the triangles of the entries in box, by counting per
// axis with prefix sums instead of testing every candidate against every triangle.
KdSplitChoice chooseKdSplit(const KdNodeBox& box, std::vector<KdSplitEntry>& entries, const KdSplitOrigin& origin,
                            const std::vector<RtTriangle>& triangles);

// The same for the triangles (indices into triangles) of list, every axis examined.
KdSplitChoice chooseKdSplit(const KdNodeBox& box, const std::vector<uint32_t>& list,
                            const std::vector<RtTriangle>& triangles);

}  // namespace Orvanta
