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
};

// The cheapest candidate (first on ties) for the triangles (indices into triangles) in box, by
// counting per axis with sorted prefix sums instead of testing every candidate against every
// triangle.
KdSplitChoice chooseKdSplit(const KdNodeBox& box, const std::vector<uint32_t>& list,
                            const std::vector<RtTriangle>& triangles);

}  // namespace Orvanta
