#include "content/KdSplit.h"
#include "content/KdTree.h"

namespace Orvanta {

void KdTree::deriveTraceNodes()
{
    traceNodes.clear();
    // Leaf starts take 31 bits and left children 27: a tree beyond either keeps the plain walk.
    if (nodes.size() >= KdTraceNode::kMaxNodes || leafTriangles.size() >= (1u << 31))
        return;
    auto isEmptyLeaf = [&](uint32_t i) { return nodes[i].isLeaf() && leaves[nodes[i].leafIndex()].count == 0; };
    traceNodes.resize(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const KdNode& n = nodes[i];
        KdTraceNode& t = traceNodes[i];
        if (n.isLeaf()) {
            const KdLeaf& leaf = leaves[n.leafIndex()];
            t.word0 = leaf.first * 2u + 1u;
            t.word1 = leaf.count;
        } else {
            const uint32_t left = n.leftChild();
            t.word0 = left << 5 | uint32_t(isEmptyLeaf(left + 1)) << 4 | uint32_t(isEmptyLeaf(left)) << 3 |
                      n.axis() << 1;
            t.word1 = std::bit_cast<uint32_t>(n.split());
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
