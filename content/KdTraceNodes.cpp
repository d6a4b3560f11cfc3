#include "content/KdSplit.h"
#include "content/KdTree.h"

namespace Orvanta {

bool KdTree::setNodes(const KdStoredTree& tree)
{
    if (tree.nodes.size() >= KdTraceNode::kMaxNodes || leafTriangles.size() >= KdTraceNode::kMaxReferences)
        return false;
    auto isEmptyLeaf = [&](uint32_t i) {
        return tree.nodes[i].isLeaf() && tree.leaves[tree.nodes[i].leafIndex()].count == 0;
    };
    std::vector<KdTraceNode> traceNodes(tree.nodes.size());
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const KdNode& n = tree.nodes[i];
        if (n.isLeaf()) {
            const KdLeaf& leaf = tree.leaves[n.leafIndex()];
            traceNodes[i] = KdTraceNode::leaf(leaf.first, leaf.count);
        } else {
            const uint32_t left = n.leftChild();
            const uint32_t empty = (isEmptyLeaf(left) ? KdTraceNode::kLeftChildEmpty : 0u) |
                                   (isEmptyLeaf(left + 1) ? KdTraceNode::kRightChildEmpty : 0u);
            traceNodes[i] = KdTraceNode::interior(left, n.axis(), empty, n.split());
        }
    }
    nodes = std::move(traceNodes);
    return true;
}

KdStoredTree KdTree::stored() const
{
    KdStoredTree out;
    out.nodes.resize(nodes.size());
    // Leaves are numbered as a walk from the root meets them, left child first: the order in
    // which the build makes them and a file lists them.
    std::vector<uint32_t> pending;
    if (!nodes.empty())
        pending.push_back(0);
    while (!pending.empty()) {
        const uint32_t i = pending.back();
        pending.pop_back();
        const KdTraceNode& n = nodes[i];
        if (n.isLeaf()) {
            out.nodes[i] = KdNode::leaf(uint32_t(out.leaves.size()));
            out.leaves.push_back(leafOf(n));
            continue;
        }
        out.nodes[i] = KdNode::interior(n.leftChild(), n.axis(), n.split());
        pending.push_back(n.leftChild() + 1);
        pending.push_back(n.leftChild());
    }
    return out;
}

std::vector<KdNodeBox> KdTree::nodeBoxes() const
{
    std::vector<KdNodeBox> boxes(nodes.size());
    if (nodes.empty())
        return boxes;
    boxes[0] = rootBox;
    // Children always come after their parent.
    for (size_t i = 0; i < nodes.size(); ++i) {
        const KdTraceNode& n = nodes[i];
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
