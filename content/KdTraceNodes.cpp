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
            t.word0 = left << 5 | uint32_t(isEmptyLeaf(left + 1)) << 4 | uint32_t(isEmptyLeaf(left)) << 3 | n.axis() << 1;
            t.word1 = std::bit_cast<uint32_t>(n.split());
        }
    }
}

}  // namespace Orvanta
