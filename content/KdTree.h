#pragma once
#include "content/KdTriAccel.h"
#include "content/RayTracingGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// Deepest level of the tree: nodes at this depth are always leaves, which bounds the traversal
// stack.
inline constexpr uint32_t kKdMaxDepth = 20;

// word0: interior = leftChild * 8 + axis * 2 (bit 0 clear), leaf = leafIndex * 2 + 1.
// word1: the split position of an interior node, as float bits.
struct KdNode {
    uint32_t word0 = 1;
    float word1 = 0.0f;

    bool isLeaf() const { return (word0 & 1u) != 0; }
    uint32_t axis() const { return (word0 >> 1) & 3u; }
    uint32_t leftChild() const { return word0 >> 3; }
    uint32_t leafIndex() const { return word0 >> 1; }
    float split() const { return word1; }
};
static_assert(sizeof(KdNode) == 8, "KdNode is one 8-byte record");

struct KdNodeBox {
    Float3 boxMin;
    Float3 boxMax;
    uint32_t axis = 0;
    uint32_t depth = 0;
};
static_assert(sizeof(KdNodeBox) == 32, "KdNodeBox is one 32-byte record");

struct KdLeaf {
    std::vector<TriAccel> accels;  // 16-byte aligned through TriAccel's alignment
    uint32_t count = 0;
    std::vector<const RtTriangle*> triangles;  // same order as accels
};

// Surface-area-heuristic kd-tree over the triangles of a RayTracingGeometry. Built or loaded once,
// read concurrently afterwards.
class KdTree {
public:
    std::vector<KdNode> nodes;
    std::vector<KdNodeBox> nodeBoxes;
    std::vector<KdLeaf> leaves;
    const RayTracingGeometry* geometry = nullptr;

    // Builds from geometry (which must be set); replaces any previous content.
    void buildKdTree();
    // Writes the tree atomically; false with a message naming the file when that fails.
    bool saveKdTree(const std::string& path, const std::string& tag) const;
    // Reads a tree saved for exactly this tag. False, leaving the tree as it was, when the file is
    // missing, belongs to another tag, or is truncated or inconsistent with itself or geometry:
    // every node, box, leaf and intersection record must be what the build makes for geometry's
    // triangles (a file saved for other geometry under the same tag is refused with a message).
    bool loadKdTree(const std::string& path, const std::string& tag);
    // loadKdTree for a file's bytes already in memory; `name` is used in the messages.
    bool parseKdTree(const std::string& name, std::vector<uint8_t> bytes, const std::string& tag);
};

// Whether the geometry a tree is obtained for is the whole scene its tag stands for.
enum class KdTreeSource {
    SceneComplete,
    ScenePartial,  // some placements could not be loaded
};

// Loads the tree saved at kdTreePath for sceneTag; when that fails for any reason, builds it and
// saves it there. tree.geometry must be set. The tree is built in memory and not saved (with one
// message) when the geometry is partial, so that a tree of a damaged scene never outlives the
// damage, when the path names a directory or anything else that is not a file, and when no path
// can be formed (an empty kdTreePath). A failed save is reported once; the built tree is used.
void obtainKdTree(KdTree& tree, const std::string& kdTreePath, const std::string& sceneTag,
                  KdTreeSource source = KdTreeSource::SceneComplete);

}  // namespace Orvanta
