#pragma once
#include "content/KdBuildConstants.h"
#include "content/KdTriAccel.h"
#include "content/RayTracingGeometry.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// word0: interior = leftChild * 8 + axis * 2 (bit 0 clear), leaf = leafIndex * 2 + 1.
// word1: the split position of an interior node, as float bits.
struct KdNode {
    uint32_t word0 = 1;
    float word1 = 0.0f;

    static KdNode interior(uint32_t leftChild, uint32_t axis, float split)
    {
        return {leftChild * 8u + axis * 2u, split};
    }
    static KdNode leaf(uint32_t leafIndex) { return {leafIndex * 2u + 1u, 0.0f}; }

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

// A bit field of a node word: (word >> shift) & mask. The walks read fields through these, for one
// node at a time or lane by lane for several (the stream walk's vector words), so the layout is
// written down here once.
struct KdWordField {
    uint32_t shift;
    uint32_t mask;

    constexpr uint32_t of(uint32_t word) const { return (word >> shift) & mask; }
    constexpr uint32_t place(uint32_t value) const { return (value & mask) << shift; }
};

// A node as the walks read it. Interior: word0 = leftChild * 32 + rightEmpty * 16 + leftEmpty * 8 +
// axis * 2, word1 the split; a child flagged empty is a leaf without triangles, which a walk need
// not enter. Leaf: word0 = first * 2 + 1, word1 = its triangle count, so a walk reaches the leaf's
// triangles (leafTriangles from first on) from the node alone.
struct KdTraceNode {
    uint32_t word0 = 1;
    uint32_t word1 = 0;

    // The fields of word0.
    static constexpr KdWordField kLeafFlag{0, 1};
    static constexpr KdWordField kAxis{1, 3};
    static constexpr KdWordField kLeftEmpty{3, 1};
    static constexpr KdWordField kRightEmpty{4, 1};
    static constexpr KdWordField kEmptyChildren{3, 3};  // both flags: bit 0 left, bit 1 right
    static constexpr KdWordField kLeftChild{5, 0x07FFFFFFu};
    static constexpr KdWordField kFirst{1, 0x7FFFFFFFu};

    static constexpr uint32_t kMaxNodes = kLeftChild.mask + 1;  // a left child must fit its field
    static constexpr uint32_t kMaxReferences = kFirst.mask + 1;

    static KdTraceNode interior(uint32_t leftChild, uint32_t axis, uint32_t emptyChildren, float split)
    {
        return {kLeftChild.place(leftChild) | kEmptyChildren.place(emptyChildren) | kAxis.place(axis),
                std::bit_cast<uint32_t>(split)};
    }
    static KdTraceNode leaf(uint32_t first, uint32_t count)
    {
        return {kFirst.place(first) | kLeafFlag.place(1), count};
    }

    bool isLeaf() const { return kLeafFlag.of(word0) != 0; }
    uint32_t axis() const { return kAxis.of(word0); }
    // The bits of emptyChildren(): which child is a leaf without triangles.
    static constexpr uint32_t kLeftChildEmpty = 1u;
    static constexpr uint32_t kRightChildEmpty = 2u;
    static_assert(kLeftChildEmpty << kEmptyChildren.shift == kLeftEmpty.mask << kLeftEmpty.shift &&
                      kRightChildEmpty << kEmptyChildren.shift == kRightEmpty.mask << kRightEmpty.shift,
                  "emptyChildren() holds the two flags in their order");
    uint32_t emptyChildren() const { return kEmptyChildren.of(word0); }
    uint32_t leftChild() const { return kLeftChild.of(word0); }
    float split() const { return std::bit_cast<float>(word1); }
    uint32_t first() const { return kFirst.of(word0); }
    uint32_t count() const { return word1; }
};
static_assert(sizeof(KdTraceNode) == 8, "KdTraceNode is one 8-byte record");

// A leaf's triangles: count entries of the tree's leafTriangles starting at first.
struct KdLeaf {
    uint32_t first = 0;
    uint32_t count = 0;
};

// How a tree's splits are chosen.
enum class KdBuildRule : uint8_t {
    // The demo's rule, literally: candidates every kKdCandidateStep world units, every node above
    // kKdLeafTriangles triangles split down to depth kKdMaxDepth. Made for a metre-scale scene;
    // at other scales it leaves leaves of thousands of triangles or chains of empty nodes.
    Literal,
    // Splits that follow the node's own size and the triangles' boxes (see kKdSah* in
    // KdBuildConstants.h), and leaves where splitting is estimated to cost more: for any scale.
    SurfaceArea,
};

// The rule a scene's tree is built by: the surface-area rule for the scenes the import tool makes
// (their tags start with kImportedSceneTagPrefix), which may come at any scale; the literal rule for
// the demo scene and every other one.
KdBuildRule kdBuildRuleForScene(const std::string& sceneTag);

// The tag a tree file of a scene starts with: the scene's tag for the literal rule, the tag with a
// suffix naming the rule for the surface-area rule, so that a file built by one rule is never read
// as a tree of the other.
std::string kdTreeFileTag(const std::string& sceneTag, KdBuildRule rule);

// The tree as its file stores it (see KdTreeFile.cpp): nodes whose leaves index a leaf table, and
// that table, its leaves numbered in the order a walk from the root meets them taking the left
// child first, which is the order the build makes them in.
struct KdStoredTree {
    std::vector<KdNode> nodes;
    std::vector<KdLeaf> leaves;
};

// Surface-area-heuristic kd-tree over the triangles of a RayTracingGeometry. Built or loaded once,
// read concurrently afterwards.
//
// In memory a tree is one 8-byte record per node (KdTraceNode: a leaf holds its place in
// leafTriangles, an interior node flags its empty children), one 32-bit reference per leaf entry
// and one 48-byte intersection record per triangle (CompactTriAccel). The file's node records,
// leaf table and per-entry TriAccel copies are derived when saving (stored(), and the records from
// the geometry) and folded into this form when loading.
class KdTree {
public:
    // The rule buildKdTree follows and the one a saved or loaded file is marked with.
    KdBuildRule rule = KdBuildRule::Literal;
    // Node 0 is the root; the children of an interior node are leftChild() and the node after it.
    std::vector<KdTraceNode> nodes;
    // The root's box record (the bounds of the geometry, depth 0, the root's split axis). The other
    // nodes' boxes follow from it and the splits and are not kept: nodeBoxes() derives them.
    KdNodeBox rootBox;
    // Geometry triangle indices of every leaf, leaf after leaf.
    std::vector<uint32_t> leafTriangles;
    // One intersection record per geometry triangle, shared by every leaf holding the triangle
    // (the file keeps a TriAccel copy per leaf entry; they are all the same record).
    std::vector<CompactTriAccel> triangleAccels;
    const RayTracingGeometry* geometry = nullptr;

    // Every node's box record, node for node, as the build makes them and the file stores them: a
    // child's box is its parent's cut at the split, its depth one more; the axis is the split axis
    // of an interior node and 0 for a leaf. Empty for a tree without nodes.
    std::vector<KdNodeBox> nodeBoxes() const;
    // The nodes and leaf table the file stores.
    KdStoredTree stored() const;
    // Replaces nodes by the stored form's, whose leaves' triangles lie in leafTriangles. False,
    // changing nothing, when the tree is beyond what KdTraceNode can index (kMaxNodes nodes,
    // kMaxReferences leaf entries).
    bool setNodes(const KdStoredTree& tree);

    // A leaf's triangles as the walks read them.
    static KdLeaf leafOf(const KdTraceNode& node) { return KdLeaf{node.first(), node.count()}; }
    // The i-th triangle of a leaf, as a geometry index and as its record.
    uint32_t leafTriangle(const KdLeaf& leaf, uint32_t i) const { return leafTriangles[leaf.first + i]; }
    const CompactTriAccel& leafAccel(const KdLeaf& leaf, uint32_t i) const
    {
        return triangleAccels[leafTriangle(leaf, i)];
    }

    // Builds from geometry (which must be set) by `rule`; replaces any previous content.
    void buildKdTree();
    // Writes the tree atomically under kdTreeFileTag(tag, rule); false with a message naming the
    // file when that fails.
    bool saveKdTree(const std::string& path, const std::string& tag) const;
    // Reads a tree saved for exactly this tag by this tree's rule. False, leaving the tree as it
    // was, when the file is missing, belongs to another tag or rule, or is truncated or
    // inconsistent with itself or geometry:
    // every node, box and intersection record must be what the build makes for geometry's
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

// Loads the tree saved at kdTreePath for sceneTag, by kdBuildRuleForScene(sceneTag) (which it sets
// as tree.rule); when that fails for any reason, builds it and
// saves it there. tree.geometry must be set. The tree is built in memory and not saved (with one
// message) when the geometry is partial, so that a tree of a damaged scene never outlives the
// damage, when the path names a directory or anything else that is not a file, and when no path
// can be formed (an empty kdTreePath). A failed save is reported once; the built tree is used.
// Returns true when the tree was built rather than read.
bool obtainKdTree(KdTree& tree, const std::string& kdTreePath, const std::string& sceneTag,
                  KdTreeSource source = KdTreeSource::SceneComplete);

}  // namespace Orvanta
