#include "content/KdSplit.h"
#include "content/KdTree.h"

namespace Orvanta {

void KdTree::deriveTraceNodes()
{
    traceNodes.clear();
    // A tree beyond what the fields can index keeps the plain walk.
    if (nodes.size() >= KdTraceNode::kMaxNodes || leafTriangles.size() >= KdTraceNode::kMaxReferences)
        return;
    auto isEmptyLeaf = [&](uint32_t i) { return nodes[i].isLeaf() && leaves[nodes[i].leafIndex()].count == 0; };
    traceNodes.resize(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const KdNode& n = nodes[i];
        if (n.isLeaf()) {
            const KdLeaf& leaf = leaves[n.leafIndex()];
            traceNodes[i] = KdTraceNode::leaf(leaf.first, leaf.count);
        } else {
            const uint32_t left = n.leftChild();
            const uint32_t empty = (isEmptyLeaf(left) ? KdTraceNode::kLeftChildEmpty : 0u) |
                                   (isEmptyLeaf(left + 1) ? KdTraceNode::kRightChildEmpty : 0u);
            traceNodes[i] = KdTraceNode::interior(left, n.axis(), empty, n.split());
        }
    }
}

std::vector<KdNodeBox> KdTree::nodeBoxes() const
{
    std::vector<KdNodeBox> boxes(nodes.size());
    if (nodes.empty())
        return boxes;
    boxes[0] = rootBox;
    // Children always come after their parent.
    for (size_t i = 0; i < nodes.size(); ++i) {
        const KdNode& n = nodes[i];
        if (n.isLeaf())
            continue;
        KdNodeBox& box = boxes[i];
        box.axis = n.axis();
        KdNodeBox left = box, right = box;
        axisOf(left.boxMax, n.axis()) = n.split();
        axisOf(right.boxMin, n.axis()) = n.split();
        left.axis = right.axis = 0;
        left.depth = right.depth = box.depth + 1;
        boxes[n.leftChild()] = left;
        boxes[n.leftChild() + 1] = right;
    }
    return boxes;
}

}  // namespace Orvanta
