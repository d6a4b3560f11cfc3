#include "content/BinaryIo.h"
#include "content/KdSahSplit.h"
#include "content/KdTree.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Orvanta {

namespace {

// The record a triangle's corners give, as the build makes it and the file stores it.
TriAccel fileRecord(const RayTracingGeometry& geometry, size_t triangle)
{
    const RtTriangle& t = geometry.triangles[triangle];
    return computeTriAccel(geometry.vertices[t.index0].position, geometry.vertices[t.index1].position,
                           geometry.vertices[t.index2].position, t.surface ? t.surface->doubleSided : 0);
}

}  // namespace

bool KdTree::saveKdTree(const std::string& path, const std::string& tag) const
{
    // The file is tens of megabytes: it is laid out in one buffer of its exact size rather than
    // grown record by record. The little-endian layout is the machine's own (as BinaryWriter's).
    const std::vector<KdNodeBox> boxes = nodeBoxes();
    const KdStoredTree file = stored();
    // The tree keeps compact records; the file's are computed again from the corners, as the build
    // computed them, which a loaded file's records were checked to equal.
    std::vector<TriAccel> records(triangleAccels.size());
    for (size_t i = 0; i < records.size() && geometry; ++i)
        records[i] = fileRecord(*geometry, i);
    const std::string fileTag = kdTreeFileTag(tag, rule);
    size_t size = fileTag.size() + 1 + 4 + file.nodes.size() * sizeof(KdNode) + 4 + boxes.size() * sizeof(KdNodeBox) +
                  4;
    for (const KdLeaf& leaf : file.leaves)
        size += 4 + size_t(leaf.count) * (sizeof(TriAccel) + sizeof(uint32_t));
    std::vector<uint8_t> bytes(size);
    uint8_t* at = bytes.data();
    auto put = [&at](const void* data, size_t count) {
        if (count)
            std::memcpy(at, data, count);
        at += count;
    };
    auto putU32 = [&put](uint32_t value) { put(&value, 4); };
    put(fileTag.c_str(), fileTag.size() + 1);
    putU32(uint32_t(file.nodes.size()));
    put(file.nodes.data(), file.nodes.size() * sizeof(KdNode));
    putU32(uint32_t(boxes.size()));
    put(boxes.data(), boxes.size() * sizeof(KdNodeBox));
    putU32(uint32_t(file.leaves.size()));
    // The file keeps a copy of the triangle's record in every leaf entry.
    for (const KdLeaf& leaf : file.leaves) {
        putU32(leaf.count);
        for (uint32_t i = 0; i < leaf.count; ++i)
            put(&records[leafTriangle(leaf, i)], sizeof(TriAccel));
        put(leafTriangles.data() + leaf.first, leaf.count * sizeof(uint32_t));
    }
    std::string error;
    if (!writeFileAtomically(path, bytes, error)) {
        logError("kd-tree not saved: " + error + "; the tree built in memory is used");
        return false;
    }
    return true;
}

namespace {

// What a tree read from a file must satisfy before the walks may use it. The build is
// deterministic in everything checked here, so a tree this program saved always passes, and a
// damaged file, or one saved for other geometry under the same tag, does not.
class TreeCheck {
public:
    TreeCheck(const std::vector<KdNode>& n, const std::vector<KdNodeBox>& b, const std::vector<KdLeaf>& l,
              const std::vector<TriAccel>& a, const std::vector<uint8_t>& used, const RayTracingGeometry* g,
              uint32_t deepest)
        : nodes(n), boxes(b), leaves(l), accels(a), referenced(used), geometry(g), maxDepth(deepest)
    {
    }

    // Empty when the tree fits; otherwise the first problem found.
    std::string problem()
    {
        if (!structureSound() || !boxesSound() || !recordsFitGeometry())
            return found;
        return std::string();
    }

private:
    bool fail(const std::string& what)
    {
        found = what;
        return false;
    }

    // Every node but the root has exactly one parent that comes before it, every leaf record
    // belongs to exactly one leaf node, and no path crosses more interior nodes than the walk's
    // stack holds.
    bool structureSound()
    {
        std::vector<uint8_t> parents(nodes.size(), 0);
        std::vector<uint8_t> leafUsed(leaves.size(), 0);
        depth.assign(nodes.size(), 0);
        for (size_t i = 0; i < nodes.size(); ++i) {
            const KdNode& n = nodes[i];
            if (i > 0 && parents[i] != 1)
                return fail("node " + std::to_string(i) + " is not the child of exactly one node");
            if (n.isLeaf()) {
                if (n.leafIndex() >= leaves.size())
                    return fail("node " + std::to_string(i) + " refers to a missing leaf");
                if (leafUsed[n.leafIndex()]++)
                    return fail("leaf " + std::to_string(n.leafIndex()) + " belongs to two nodes");
                continue;
            }
            if (n.axis() > 2)
                return fail("node " + std::to_string(i) + " has an invalid split axis");
            const uint64_t left = n.leftChild();
            if (left <= i || left + 1 >= nodes.size())
                return fail("node " + std::to_string(i) + " has a child index out of range");
            if (depth[i] >= maxDepth)
                return fail("the tree is deeper than " + std::to_string(maxDepth) + " levels");
            for (uint64_t child : {left, left + 1}) {
                parents[child] = uint8_t(std::min(parents[child] + 1, 2));
                depth[child] = depth[i] + 1;
            }
        }
        if (std::find(leafUsed.begin(), leafUsed.end(), 0) != leafUsed.end())
            return fail("a leaf belongs to no node");
        return true;
    }

    static bool sameBox(const KdNodeBox& a, const KdNodeBox& b) { return a.boxMin == b.boxMin && a.boxMax == b.boxMax; }

    // The root box is the geometry's bounds as the build computes them, each split plane is a
    // finite position inside its node's box, and each child's box is its parent's cut at the plane.
    bool boxesSound()
    {
        KdNodeBox root;
        root.boxMin = {10000.0f, 10000.0f, 10000.0f};
        root.boxMax = {-10000.0f, -10000.0f, -10000.0f};
        const size_t count = geometry ? geometry->triangles.size() : 0;
        for (size_t i = 0; i < count; ++i) {
            const RtTriangle& t = geometry->triangles[i];
            for (uint32_t index : {t.index0, t.index1, t.index2}) {
                const Float3& p = geometry->vertices[index].position;
                for (uint32_t a = 0; a < 3; ++a) {
                    axisOf(root.boxMin, a) = std::min(axisOf(root.boxMin, a), axisOf(p, a));
                    axisOf(root.boxMax, a) = std::max(axisOf(root.boxMax, a), axisOf(p, a));
                }
            }
        }
        if (!sameBox(boxes[0], root))
            return fail("its root box is not the bounds of the scene's geometry (saved for other geometry?)");
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (boxes[i].depth != depth[i])
                return fail("node box " + std::to_string(i) + " records the wrong depth");
            const KdNode& n = nodes[i];
            // The build records no axis for a leaf (0); the tree keeps only the root's box and
            // derives the others from the splits, so a file must hold exactly those.
            if (n.isLeaf()) {
                if (boxes[i].axis != 0)
                    return fail("leaf box " + std::to_string(i) + " records a split axis");
                continue;
            }
            const uint32_t axis = n.axis();
            const float split = n.split();
            const KdNodeBox& box = boxes[i];
            if (!std::isfinite(split) || split < axisOf(box.boxMin, axis) || split > axisOf(box.boxMax, axis))
                return fail("node " + std::to_string(i) +
                            " splits outside its box or at a position that is not finite");
            KdNodeBox left = box, right = box;
            axisOf(left.boxMax, axis) = split;
            axisOf(right.boxMin, axis) = split;
            if (box.axis != axis || !sameBox(boxes[n.leftChild()], left) || !sameBox(boxes[n.leftChild() + 1], right))
                return fail("the boxes of node " + std::to_string(i) + "'s children do not follow its split");
        }
        return true;
    }

    // Each triangle's record is the one its corners give, and every triangle of the geometry is in
    // some leaf (the build keeps each triangle in a child holding one of its vertices, so none is
    // ever lost).
    bool recordsFitGeometry()
    {
        const size_t count = geometry ? geometry->triangles.size() : 0;
        for (size_t i = 0; i < count; ++i) {
            if (!referenced[i])
                return fail("scene triangle " + std::to_string(i) + " is in no leaf (saved for other geometry?)");
            const TriAccel expected = fileRecord(*geometry, i);
            if (std::memcmp(&expected, &accels[i], sizeof(TriAccel)) != 0)
                return fail("the intersection record of triangle " + std::to_string(i) +
                            " does not match the triangle (damaged, or saved for other geometry)");
        }
        return true;
    }

    const std::vector<KdNode>& nodes;
    const std::vector<KdNodeBox>& boxes;
    const std::vector<KdLeaf>& leaves;
    const std::vector<TriAccel>& accels;
    const std::vector<uint8_t>& referenced;
    const RayTracingGeometry* geometry;
    uint32_t maxDepth;  // the deepest level the tree's rule builds to
    std::vector<uint32_t> depth;
    std::string found;
};

}  // namespace

bool KdTree::loadKdTree(const std::string& path, const std::string& tag)
{
    if (pathKind(path) == PathKind::Missing)
        return false;  // no tree saved yet: the caller builds one
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        logError("kd-tree file " + error);
        return false;
    }
    return parseKdTree(path, std::move(bytes), tag);
}

bool KdTree::parseKdTree(const std::string& path, std::vector<uint8_t> bytes, const std::string& tag)
{
    BinaryReader in(std::move(bytes));
    std::string fileTag;
    if (!in.readCString(fileTag) || fileTag != kdTreeFileTag(tag, rule))
        return false;  // built for another scene, version or rule

    auto reject = [&](const std::string& problem) {
        logError("kd-tree file " + path + ": " + problem + "; the tree will be rebuilt");
        return false;
    };
    const size_t triangleCount = geometry ? geometry->triangles.size() : 0;
    uint32_t nodeCount = 0, boxCount = 0, leafCount = 0;
    if (!in.readU32(nodeCount) || nodeCount == 0 || nodeCount > in.remaining() / sizeof(KdNode))
        return reject("node count missing, zero or beyond the file size");
    std::vector<KdNode> newNodes(nodeCount);
    in.readBytes(newNodes.data(), nodeCount * sizeof(KdNode));
    if (!in.readU32(boxCount) || boxCount != nodeCount || boxCount > in.remaining() / sizeof(KdNodeBox))
        return reject("box count differs from the node count or exceeds the file size");
    std::vector<KdNodeBox> newBoxes(boxCount);
    in.readBytes(newBoxes.data(), boxCount * sizeof(KdNodeBox));
    if (!in.readU32(leafCount) || leafCount > in.remaining() / 4)
        return reject("leaf count missing or beyond the file size");
    std::vector<KdLeaf> newLeaves(leafCount);
    std::vector<uint32_t> newReferences;
    // Every entry of a triangle carries the same record: the first becomes the shared one, the
    // others must equal it byte for byte.
    std::vector<TriAccel> newAccels(triangleCount);
    std::vector<uint8_t> seen(triangleCount, 0);
    std::vector<TriAccel> copies;
    for (KdLeaf& leaf : newLeaves) {
        if (!in.readU32(leaf.count) || leaf.count > in.remaining() / (sizeof(TriAccel) + 4))
            return reject("file truncated inside a leaf");
        leaf.first = uint32_t(newReferences.size());
        copies.resize(leaf.count);
        in.readBytes(copies.data(), leaf.count * sizeof(TriAccel));
        newReferences.resize(newReferences.size() + leaf.count);
        in.readBytes(newReferences.data() + leaf.first, leaf.count * sizeof(uint32_t));
        for (uint32_t j = 0; j < leaf.count; ++j) {
            const uint32_t index = newReferences[leaf.first + j];
            if (index >= triangleCount)
                return reject("triangle index " + std::to_string(index) + " beyond the " +
                              std::to_string(triangleCount) + " scene triangles");
            if (!seen[index]) {
                seen[index] = 1;
                newAccels[index] = copies[j];
            } else if (std::memcmp(&newAccels[index], &copies[j], sizeof(TriAccel)) != 0) {
                return reject("the leaves hold differing records for triangle " + std::to_string(index));
            }
        }
    }
    if (!in.ok())
        return reject("file truncated");
    if (in.remaining() != 0)
        return reject("unexpected bytes after the last leaf");
    const uint32_t maxDepth = rule == KdBuildRule::Literal ? kKdMaxDepth : kdSahMaxDepth(triangleCount);
    const std::string problem = TreeCheck(newNodes, newBoxes, newLeaves, newAccels, seen, geometry, maxDepth).problem();
    if (!problem.empty())
        return reject(problem);

    // The references first: setNodes checks that their count fits the nodes' fields.
    std::vector<uint32_t> oldReferences = std::move(leafTriangles);
    leafTriangles = std::move(newReferences);
    if (!setNodes(KdStoredTree{std::move(newNodes), std::move(newLeaves)})) {
        leafTriangles = std::move(oldReferences);
        return reject("the tree is larger than the walks can index");
    }
    rootBox = newBoxes[0];
    triangleAccels.resize(newAccels.size());
    for (size_t i = 0; i < newAccels.size(); ++i)
        triangleAccels[i] = compactTriAccel(newAccels[i]);
    return true;
}

}  // namespace Orvanta
