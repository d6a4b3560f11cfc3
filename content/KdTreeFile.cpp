#include "content/BinaryIo.h"
#include "content/KdTree.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace Orvanta {

bool KdTree::saveKdTree(const std::string& path, const std::string& tag) const
{
    // The file is tens of megabytes: it is laid out in one buffer of its exact size rather than
    // grown record by record. The little-endian layout is the machine's own (as BinaryWriter's).
    size_t size = tag.size() + 1 + 4 + nodes.size() * sizeof(KdNode) + 4 + nodeBoxes.size() * sizeof(KdNodeBox) + 4;
    for (const KdLeaf& leaf : leaves)
        size += 4 + size_t(leaf.count) * (sizeof(TriAccel) + sizeof(uint32_t));
    std::vector<uint8_t> bytes(size);
    uint8_t* at = bytes.data();
    auto put = [&at](const void* data, size_t count) {
        if (count)
            std::memcpy(at, data, count);
        at += count;
    };
    auto putU32 = [&put](uint32_t value) { put(&value, 4); };
    put(tag.c_str(), tag.size() + 1);
    putU32(uint32_t(nodes.size()));
    put(nodes.data(), nodes.size() * sizeof(KdNode));
    putU32(uint32_t(nodeBoxes.size()));
    put(nodeBoxes.data(), nodeBoxes.size() * sizeof(KdNodeBox));
    putU32(uint32_t(leaves.size()));
    // The file keeps a copy of the triangle's record in every leaf entry.
    for (const KdLeaf& leaf : leaves) {
        putU32(leaf.count);
        for (uint32_t i = 0; i < leaf.count; ++i)
            put(&leafAccel(leaf, i), sizeof(TriAccel));
        put(leafTriangles.data() + leaf.first, leaf.count * sizeof(uint32_t));
    }
    std::string error;
    if (!writeFileAtomically(path, bytes, error)) {
        logError("kd-tree file " + path + ": " + error);
        return false;
    }
    return true;
}

namespace {

// Node structure checks: children come after their parent and exist, leaves exist, and no path
// from the root crosses more interior nodes than the traversal stack holds.
bool nodesConsistent(const std::vector<KdNode>& nodes, size_t leafCount, std::string& problem)
{
    std::vector<uint32_t> depth(nodes.size(), 0);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const KdNode& n = nodes[i];
        if (n.isLeaf()) {
            if (n.leafIndex() >= leafCount) {
                problem = "node " + std::to_string(i) + " refers to a missing leaf";
                return false;
            }
            continue;
        }
        if (n.axis() > 2) {
            problem = "node " + std::to_string(i) + " has an invalid split axis";
            return false;
        }
        const uint64_t left = n.leftChild();
        if (left <= i || left + 1 >= nodes.size()) {
            problem = "node " + std::to_string(i) + " has a child index out of range";
            return false;
        }
        if (depth[i] >= kKdMaxDepth) {
            problem = "the tree is deeper than " + std::to_string(kKdMaxDepth) + " levels";
            return false;
        }
        depth[left] = std::max(depth[left], depth[i] + 1);
        depth[left + 1] = std::max(depth[left + 1], depth[i] + 1);
    }
    return true;
}

}  // namespace

bool KdTree::loadKdTree(const std::string& path, const std::string& tag)
{
    std::ifstream probe(path, std::ios::binary);
    if (!probe)
        return false;  // no tree saved yet: the caller builds one
    probe.close();
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        logError("kd-tree file " + path + ": " + error);
        return false;
    }
    BinaryReader in(std::move(bytes));
    std::string fileTag;
    if (!in.readCString(fileTag) || fileTag != tag)
        return false;  // built for another scene or version

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
    for (const KdNodeBox& b : newBoxes)
        if (b.depth > kKdMaxDepth)
            return reject("a node box records a depth beyond " + std::to_string(kKdMaxDepth));
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
    std::string problem;
    if (!nodesConsistent(newNodes, newLeaves.size(), problem))
        return reject(problem);

    nodes = std::move(newNodes);
    nodeBoxes = std::move(newBoxes);
    leaves = std::move(newLeaves);
    leafTriangles = std::move(newReferences);
    triangleAccels = std::move(newAccels);
    deriveTraceNodes();
    return true;
}

}  // namespace Orvanta
