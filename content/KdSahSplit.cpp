#include "content/KdSahSplit.h"

#include "content/KdBuildConstants.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

uint32_t kdSahMaxDepth(size_t triangles)
{
    const double depth = 8.0 + 1.3 * std::log2(double(std::max<size_t>(triangles, 1)));
    return std::min(kKdDeepestTree, uint32_t(depth));
}

KdSplitChoice chooseSahSplit(const KdNodeBox& box, const std::vector<KdSplitEntry>& entries,
                             const std::vector<RtTriangle>& triangles)
{
    constexpr uint32_t kBins = kKdSahBins;
    KdSplitChoice best;
    const float area = surfaceArea(box.boxMin, box.boxMax);
    const size_t count = entries.size();
    if (count == 0 || !(area > 0.0f) || !std::isfinite(area))
        return best;
    const float extent[3] = {box.boxMax.x - box.boxMin.x, box.boxMax.y - box.boxMin.y, box.boxMax.z - box.boxMin.z};
    float binsPerUnit[3];
    for (uint32_t a = 0; a < 3; ++a)
        binsPerUnit[a] = extent[a] > 0.0f ? float(kBins) / extent[a] : 0.0f;

    // Per axis and bin: the triangles whose clipped box starts there and those whose box ends
    // there. A plane between bins i - 1 and i has on its left the triangles starting below i and
    // on its right those ending from i on.
    uint32_t starts[3][kBins] = {}, ends[3][kBins] = {};
    // Per axis, where the clipped boxes begin and end together: planes just outside these cut the
    // node's empty margins off in one split, where the bins' planes would cut a bin's width of
    // them at a time, level after level.
    float lowest[3], highest[3];
    for (uint32_t a = 0; a < 3; ++a) {
        lowest[a] = axisOf(box.boxMax, a);
        highest[a] = axisOf(box.boxMin, a);
    }
    auto binOf = [&](uint32_t a, float x) {
        const float at = (x - axisOf(box.boxMin, a)) * binsPerUnit[a];
        return at <= 0.0f ? 0u : std::min(kBins - 1, uint32_t(at));  // NaN-free: at is finite here
    };
    for (const KdSplitEntry& e : entries) {
        const RtTriangle& t = triangles[e.triangle];
        for (uint32_t a = 0; a < 3; ++a) {
            if (binsPerUnit[a] == 0.0f)
                continue;
            const float lo = std::max(axisOf(t.boxMin, a), axisOf(box.boxMin, a));
            const float hi = std::min(axisOf(t.boxMax, a), axisOf(box.boxMax, a));
            ++starts[a][binOf(a, lo)];
            ++ends[a][binOf(a, std::max(lo, hi))];
            lowest[a] = std::min(lowest[a], lo);
            highest[a] = std::max(highest[a], hi);
        }
    }

    // Testing every triangle in a leaf is the cost a split must beat.
    float bestCost = kKdSahIntersectionCost * float(count);
    for (uint32_t a = 0; a < 3; ++a) {
        if (binsPerUnit[a] == 0.0f)
            continue;
        const float lo = axisOf(box.boxMin, a), hi = axisOf(box.boxMax, a);
        const uint32_t u = (a + 1) % 3, v = (a + 2) % 3;
        const float crossSection = extent[u] * extent[v], rim = extent[u] + extent[v];
        auto consider = [&](float position, uint32_t left, uint32_t right, uint32_t candidate) {
            if (!(position > lo && position < hi))
                return;  // a box too thin for the bins' steps in floats
            const float leftArea = 2.0f * (crossSection + (position - lo) * rim);
            const float rightArea = 2.0f * (crossSection + (hi - position) * rim);
            float cost = kKdSahIntersectionCost * (leftArea * float(left) + rightArea * float(right)) / area;
            // Empty space is worth cutting off when there is enough of it for rays to skip.
            const float emptyExtent = left == 0 ? position - lo : (right == 0 ? hi - position : 0.0f);
            if (emptyExtent >= kKdSahEmptyShare * extent[a])
                cost *= kKdSahEmptyFactor;
            cost += kKdSahTraversalCost;
            if (cost < bestCost) {
                bestCost = cost;
                best = {true, a, position, candidate};
            }
        };
        // The margins: one float step outside the triangles, so that none touches the empty side.
        consider(std::nextafter(lowest[a], -INFINITY), 0, uint32_t(count), 0);
        consider(std::nextafter(highest[a], INFINITY), uint32_t(count), 0, kBins);
        uint32_t left = 0, endedBelow = 0;
        for (uint32_t i = 1; i < kBins; ++i) {
            left += starts[a][i - 1];
            endedBelow += ends[a][i - 1];
            consider(lo + extent[a] * (float(i) / float(kBins)), left, uint32_t(count) - endedBelow, i);
        }
    }
    return best;
}

}  // namespace Orvanta
