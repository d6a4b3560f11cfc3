#include "KdTestScenes.h"

#include <gtest/gtest.h>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

// Follows splits down from box, carrying the entries the way the build does (a child examines
// only its parent's split axis afresh, keeping there the side of the parent's results it shares),
// and checks at every node that the carried search, a
// search from scratch and the literal search choose the same split. A child's list keeps the
// triangles whose boxes reach it, some from far outside it: what matters is that each search
// sees the same list.
void descend(const KdNodeBox& box, std::vector<KdSplitEntry>& entries, const KdSplitOrigin& origin,
             const std::vector<RtTriangle>& triangles, int depth, int& nodes)
{
    if (entries.size() <= kKdLeafTriangles || depth > 8)
        return;
    std::vector<uint32_t> list;
    for (const KdSplitEntry& e : entries)
        list.push_back(e.triangle);
    const KdSplitChoice carried = chooseKdSplit(box, entries, origin, triangles);
    const KdSplitChoice fresh = chooseKdSplit(box, list, triangles);
    const KdSplitChoice literal = literalSplit(box, list, triangles);
    ASSERT_EQ(carried.found, literal.found) << "depth " << depth;
    ASSERT_EQ(fresh.found, literal.found) << "depth " << depth;
    ++nodes;
    if (!literal.found)
        return;
    ASSERT_EQ(carried.axis, literal.axis) << "depth " << depth;
    ASSERT_EQ(carried.position, literal.position) << "depth " << depth;
    ASSERT_EQ(fresh.axis, literal.axis) << "depth " << depth;
    ASSERT_EQ(fresh.position, literal.position) << "depth " << depth;

    KdNodeBox left = box, right = box;
    axisOf(left.boxMax, literal.axis) = literal.position;
    axisOf(right.boxMin, literal.axis) = literal.position;
    for (const bool isLeft : {true, false}) {
        const KdNodeBox& child = isLeft ? left : right;
        std::vector<KdSplitEntry> childEntries;
        for (const KdSplitEntry& e : entries) {
            const RtTriangle& t = triangles[e.triangle];
            if (axisOf(t.boxMax, literal.axis) >= axisOf(child.boxMin, literal.axis) &&
                axisOf(t.boxMin, literal.axis) <= axisOf(child.boxMax, literal.axis))
                childEntries.push_back(e);
        }
        if (childEntries.size() == entries.size())
            continue;  // nothing separated; the same list again would only repeat this node
        descend(child, childEntries, childSplitOrigin(origin, carried, isLeft), triangles, depth + 1, nodes);
    }
}

}  // namespace

TEST(KdSplitSearch, CarriedEntriesChooseWhatTheLiteralSearchChooses)
{
    int nodes = 0;
    for (uint32_t seed = 500; seed < 512; ++seed) {
        TestScene s = randomScene(seed, 160, seed % 3 == 0 ? 0.9f : 3.0f + float(seed % 4));
        if (seed % 2 == 0) {
            // Far from the origin, where the float overlap test rounds near more candidates.
            for (RtTriangle& t : s.geometry.triangles) {
                t.boxMin = {t.boxMin.x + 517.3f, t.boxMin.y - 93.1f, t.boxMin.z + 2048.0f};
                t.boxMax = {t.boxMax.x + 517.3f, t.boxMax.y - 93.1f, t.boxMax.z + 2048.0f};
            }
        }
        KdNodeBox root;
        root.boxMin = s.geometry.triangles[0].boxMin;
        root.boxMax = s.geometry.triangles[0].boxMax;
        for (const RtTriangle& t : s.geometry.triangles)
            for (uint32_t a = 0; a < 3; ++a) {
                axisOf(root.boxMin, a) = std::min(axisOf(root.boxMin, a), axisOf(t.boxMin, a));
                axisOf(root.boxMax, a) = std::max(axisOf(root.boxMax, a), axisOf(t.boxMax, a));
            }
        std::vector<KdSplitEntry> entries(s.geometry.triangles.size());
        for (size_t i = 0; i < entries.size(); ++i)
            entries[i].triangle = uint32_t(i);
        KdSplitOrigin origin;
        origin.scale = kdSplitScale(root);
        descend(root, entries, origin, s.geometry.triangles, 0, nodes);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(nodes, 300);
}
