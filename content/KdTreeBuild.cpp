#include "content/KdTreeBuild.h"

#include "content/KdTriangleBox.h"

#include <algorithm>

namespace Orvanta {

namespace {

struct Builder {
    KdTree& tree;
    const KdSplitChooser& chooser;
    const RayTracingGeometry& geometry;
    std::vector<TriAccel> accels;  // one per geometry triangle

    void corners(uint32_t index, Float3 out[3]) const
    {
        const RtTriangle& t = geometry.triangles[index];
        out[0] = geometry.vertices[t.index0].position;
        out[1] = geometry.vertices[t.index1].position;
        out[2] = geometry.vertices[t.index2].position;
    }

    void makeLeaf(uint32_t node, const std::vector<uint32_t>& list)
    {
        tree.nodes[node].word0 = uint32_t(tree.leaves.size()) * 2u + 1u;
        tree.nodes[node].word1 = 0.0f;
        KdLeaf leaf;
        leaf.count = uint32_t(list.size());
        leaf.accels.reserve(list.size());
        leaf.triangles.reserve(list.size());
        for (uint32_t index : list) {
            leaf.accels.push_back(accels[index]);
            leaf.triangles.push_back(&geometry.triangles[index]);
        }
        tree.leaves.push_back(std::move(leaf));
    }

    void build(uint32_t node, const std::vector<uint32_t>& list, uint32_t depth)
    {
        const KdNodeBox box = tree.nodeBoxes[node];
        tree.nodeBoxes[node].depth = depth;
        KdSplitChoice split;
        if (list.size() > 4 && depth < kKdMaxDepth)
            split = chooser(box, list, geometry.triangles);
        if (!split.found) {
            makeLeaf(node, list);
            return;
        }
        const uint32_t leftIndex = uint32_t(tree.nodes.size());
        tree.nodes[node].word0 = leftIndex * 8u + split.axis * 2u;
        tree.nodes[node].word1 = split.position;
        tree.nodeBoxes[node].axis = split.axis;

        KdNodeBox leftBox = box, rightBox = box;
        axisOf(leftBox.boxMax, split.axis) = split.position;
        axisOf(rightBox.boxMin, split.axis) = split.position;
        leftBox.axis = rightBox.axis = 0;
        leftBox.depth = rightBox.depth = 0;
        std::vector<uint32_t> leftList, rightList;
        for (uint32_t index : list) {
            Float3 v[3];
            corners(index, v);
            if (triangleOverlapsBox(leftBox.boxMin, leftBox.boxMax, v, accels[index]))
                leftList.push_back(index);
            if (triangleOverlapsBox(rightBox.boxMin, rightBox.boxMax, v, accels[index]))
                rightList.push_back(index);
        }
        tree.nodes.push_back(KdNode{});
        tree.nodes.push_back(KdNode{});
        tree.nodeBoxes.push_back(leftBox);
        tree.nodeBoxes.push_back(rightBox);
        build(leftIndex, leftList, depth + 1);
        build(leftIndex + 1, rightList, depth + 1);
    }
};

}  // namespace

void buildKdTreeWith(KdTree& tree, const KdSplitChooser& chooser)
{
    static const RayTracingGeometry empty;
    const RayTracingGeometry& geometry = tree.geometry ? *tree.geometry : empty;
    tree.nodes.clear();
    tree.nodeBoxes.clear();
    tree.leaves.clear();

    Builder builder{tree, chooser, geometry, {}};
    const size_t count = geometry.triangles.size();
    builder.accels.reserve(count);
    std::vector<uint32_t> list(count);
    KdNodeBox root;
    root.boxMin = {10000.0f, 10000.0f, 10000.0f};
    root.boxMax = {-10000.0f, -10000.0f, -10000.0f};
    for (uint32_t i = 0; i < count; ++i) {
        list[i] = i;
        Float3 v[3];
        builder.corners(i, v);
        for (const Float3& p : v)
            for (uint32_t a = 0; a < 3; ++a) {
                axisOf(root.boxMin, a) = std::min(axisOf(root.boxMin, a), axisOf(p, a));
                axisOf(root.boxMax, a) = std::max(axisOf(root.boxMax, a), axisOf(p, a));
            }
        const RtSurface* surface = geometry.triangles[i].surface;
        builder.accels.push_back(computeTriAccel(v[0], v[1], v[2], surface ? surface->doubleSided : 0));
    }
    tree.nodes.push_back(KdNode{});
    tree.nodeBoxes.push_back(root);
    builder.build(0, list, 0);
}

void KdTree::buildKdTree()
{
    buildKdTreeWith(*this, chooseKdSplit);
}

}  // namespace Orvanta
