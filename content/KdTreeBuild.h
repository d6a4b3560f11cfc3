#pragma once
#include "content/KdSplit.h"

#include <functional>

namespace Orvanta {

using KdSplitChooser = std::function<KdSplitChoice(const KdNodeBox& box, const std::vector<uint32_t>& list,
                                                   const std::vector<RtTriangle>& triangles)>;

// How a build is carried out. None of these choices changes the tree: every combination gives the
// same nodes, boxes and leaves in the same order.
struct KdBuildRules {
    // Empty: chooseKdSplit on the entries each node hands to its children, so that a child
    // examines afresh only its parent's split axis.
    KdSplitChooser chooser;
    // Decide a triangle's side of a split from its box when the box is clearly on one side,
    // running the exact triangle-box test only for triangles near the plane.
    bool screenPartition = true;
    // Run the exact test on edges prepared once per triangle, several edges at a time, instead of
    // as written from the triangle's corners.
    bool preparedExactTest = true;
    // Worker threads for independent subtrees; 0 = one per hardware thread.
    unsigned threads = 0;
    // Subtrees with fewer triangles than this are built on the thread that reached them.
    size_t parallelMinTriangles = 4096;
};

// The recursive build under the given rules; buildKdTree uses the defaults.
void buildKdTreeWith(KdTree& tree, const KdBuildRules& rules);

// The literal order of work: the given chooser, the exact test as written for every partition,
// one thread.
void buildKdTreeWith(KdTree& tree, const KdSplitChooser& chooser);

// Whether a triangle of the list of a node (so one that overlaps the node's box by the exact test)
// lies in the left (bit 0) and right (bit 1) child of a split of that node, decided from the
// triangle's box alone; 0 when the box is too close to the plane to tell and the exact test must
// decide. The margin keeps the answer equal to the exact test's float evaluation.
unsigned screenedSides(const KdNodeBox& box, uint32_t axis, float position, const RtTriangle& triangle);

}  // namespace Orvanta
