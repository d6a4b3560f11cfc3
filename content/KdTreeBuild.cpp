#include "content/KdTreeBuild.h"

#include "content/KdSahSplit.h"
#include "content/KdTriangleBox.h"
#include "platform/Log.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <future>
#include <memory>
#include <system_error>
#include <thread>

namespace Orvanta {

namespace {

float maxAbs(const Float3& p)
{
    return std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
}

// The screen of screenedSides with its scale given: the largest magnitude among the plane
// position, the node box and the triangle box.
unsigned screenedSidesAtScale(uint32_t axis, float position, const RtTriangle& triangle, float scale)
{
    const float margin = 1e-4f * (1.0f + scale);
    if (axisOf(triangle.boxMax, axis) < position - margin)
        return 1u;
    if (axisOf(triangle.boxMin, axis) > position + margin)
        return 2u;
    return 0u;
}

}  // namespace

unsigned screenedSides(const KdNodeBox& box, uint32_t axis, float position, const RtTriangle& triangle)
{
    // The exact test's float steps (slab distances, plane distances along box edges, barycentric
    // rows) err by a few dozen units in the last place of the largest coordinate involved. A
    // triangle whose box keeps 1e-4 of that scale (about 800 such units) away from the plane is
    // therefore judged by the test exactly as geometry says: it overlaps the child on its own side,
    // because it overlaps the node box and that child holds all of the node box it can reach, and
    // not the child across the plane.
    const float scale = std::max({std::fabs(position), maxAbs(box.boxMin), maxAbs(box.boxMax), maxAbs(triangle.boxMin),
                                  maxAbs(triangle.boxMax)});
    return screenedSidesAtScale(axis, position, triangle, scale);
}

namespace {

// A tree under construction whose node 0 is the root of the subtree it holds. Appends follow the
// literal order, so a subtree built on its own splices into its parent by shifting indices.
struct PartialTree {
    std::vector<KdNode> nodes;
    std::vector<KdNodeBox> boxes;
    std::vector<KdLeaf> leaves;
    std::vector<uint32_t> references;  // the leaves' triangle indices
};

struct Builder {
    const KdBuildRules& rules;
    const RayTracingGeometry& geometry;
    std::vector<TriAccel> accels;               // one per geometry triangle
    std::unique_ptr<TriangleBoxEdges[]> edges;  // one per geometry triangle, for the exact test
    std::vector<float> triangleScale;           // per geometry triangle: the largest magnitude of its box
    KdBuildRule rule = KdBuildRule::Literal;
    // Nodes at this depth are leaves: kKdMaxDepth under the literal rule, kdSahMaxDepth of the
    // triangle count under the surface-area rule.
    uint32_t maxDepth = kKdMaxDepth;
    // Subtrees are handed to other threads only above this depth: enough pieces to keep every
    // thread busy while some finish early, without a thread per node.
    uint32_t parallelDepth = 0;

    void corners(uint32_t index, Float3 out[3]) const
    {
        const RtTriangle& t = geometry.triangles[index];
        out[0] = geometry.vertices[t.index0].position;
        out[1] = geometry.vertices[t.index1].position;
        out[2] = geometry.vertices[t.index2].position;
    }

    void makeLeaf(PartialTree& tree, uint32_t node, const std::vector<KdSplitEntry>& list) const
    {
        tree.nodes[node] = KdNode::leaf(uint32_t(tree.leaves.size()));
        KdLeaf leaf;
        leaf.first = uint32_t(tree.references.size());
        leaf.count = uint32_t(list.size());
        for (const KdSplitEntry& e : list)
            tree.references.push_back(e.triangle);
        tree.leaves.push_back(leaf);
    }

    // The split of a node at `depth`, or none for a leaf.
    KdSplitChoice choose(const KdNodeBox& box, std::vector<KdSplitEntry>& list, uint32_t depth,
                         const KdSplitOrigin& origin) const
    {
        if (depth >= maxDepth)
            return {};
        if (rule == KdBuildRule::SurfaceArea)
            return list.size() > 1 ? chooseSahSplit(box, list, geometry.triangles) : KdSplitChoice{};
        if (list.size() <= kKdLeafTriangles)
            return {};
        if (!rules.chooser)
            return chooseKdSplit(box, list, origin, geometry.triangles);
        std::vector<uint32_t> indices(list.size());
        for (size_t j = 0; j < list.size(); ++j)
            indices[j] = list[j].triangle;
        return rules.chooser(box, indices, geometry.triangles);
    }

    void partition(const KdNodeBox& leftBox, const KdNodeBox& rightBox, uint32_t axis, float position,
                   const std::vector<KdSplitEntry>& list, std::vector<KdSplitEntry>& leftList,
                   std::vector<KdSplitEntry>& rightList) const
    {
        const float nodeScale = std::max(
            {std::fabs(position), maxAbs(leftBox.boxMin), maxAbs(leftBox.boxMax), maxAbs(rightBox.boxMax)});
        // The sides first, so each child's list is allocated once at its final size.
        thread_local std::vector<uint8_t> sidesOf;
        sidesOf.resize(list.size());
        size_t leftCount = 0, rightCount = 0;
        for (size_t j = 0; j < list.size(); ++j) {
            const uint32_t index = list[j].triangle;
            unsigned sides = rules.screenPartition ? screenedSidesAtScale(axis, position, geometry.triangles[index],
                                                                          std::max(nodeScale, triangleScale[index]))
                                                   : 0u;
            if (sides == 0u && rules.preparedExactTest) {
                const TriangleBoxEdges& e = edges[index];
                sides = (triangleOverlapsBox(leftBox.boxMin, leftBox.boxMax, e, accels[index]) ? 1u : 0u) |
                        (triangleOverlapsBox(rightBox.boxMin, rightBox.boxMax, e, accels[index]) ? 2u : 0u);
            } else if (sides == 0u) {
                Float3 v[3];
                corners(index, v);
                sides = (triangleOverlapsBox(leftBox.boxMin, leftBox.boxMax, v, accels[index]) ? 1u : 0u) |
                        (triangleOverlapsBox(rightBox.boxMin, rightBox.boxMax, v, accels[index]) ? 2u : 0u);
            }
            sidesOf[j] = uint8_t(sides);
            leftCount += sides & 1u;
            rightCount += sides >> 1;
        }
        leftList.resize(leftCount);
        rightList.resize(rightCount);
        KdSplitEntry* toLeft = leftList.data();
        KdSplitEntry* toRight = rightList.data();
        for (size_t j = 0; j < list.size(); ++j) {
            if (sidesOf[j] & 1u)
                *toLeft++ = list[j];
            if (sidesOf[j] & 2u)
                *toRight++ = list[j];
        }
    }

    // Builds node `node` of `tree` (already appended, with its box) from `list`, whose entries
    // hold what `origin` says.
    void build(PartialTree& tree, uint32_t node, std::vector<KdSplitEntry>& list, uint32_t depth,
               const KdSplitOrigin& origin) const
    {
        const KdNodeBox box = tree.boxes[node];
        tree.boxes[node].depth = depth;
        const KdSplitChoice split = choose(box, list, depth, origin);
        if (!split.found) {
            makeLeaf(tree, node, list);
            return;
        }
        tree.boxes[node].axis = split.axis;

        KdNodeBox leftBox = box, rightBox = box;
        axisOf(leftBox.boxMax, split.axis) = split.position;
        axisOf(rightBox.boxMin, split.axis) = split.position;
        leftBox.axis = rightBox.axis = 0;
        leftBox.depth = rightBox.depth = 0;
        std::vector<KdSplitEntry> leftList, rightList;
        const KdSplitOrigin leftOrigin = childSplitOrigin(origin, split, true);
        const KdSplitOrigin rightOrigin = childSplitOrigin(origin, split, false);
        partition(leftBox, rightBox, split.axis, split.position, list, leftList, rightList);

        const uint32_t leftIndex = uint32_t(tree.nodes.size());
        tree.nodes[node] = KdNode::interior(leftIndex, split.axis, split.position);
        if (depth < parallelDepth && leftList.size() + rightList.size() >= rules.parallelMinTriangles) {
            // Both children are built as trees of their own, the left one on another thread, and
            // spliced in the order a single-threaded build would have appended them.
            auto buildAlone = [this, depth](const KdNodeBox& childBox, std::vector<KdSplitEntry>& childList,
                                            const KdSplitOrigin& childOrigin) {
                PartialTree child;
                child.nodes.push_back(KdNode{});
                child.boxes.push_back(childBox);
                build(child, 0, childList, depth + 1, childOrigin);
                return child;
            };
            std::future<PartialTree> left;
            try {
                left = std::async(std::launch::async, buildAlone, std::cref(leftBox), std::ref(leftList),
                                  std::cref(leftOrigin));
            } catch (const std::system_error&) {
                // No thread to be had: the left side is built here, when its result is asked for.
                left = std::async(std::launch::deferred, buildAlone, std::cref(leftBox), std::ref(leftList),
                                  std::cref(leftOrigin));
            }
            PartialTree right = buildAlone(rightBox, rightList, rightOrigin);
            splice(tree, left.get(), std::move(right));
            return;
        }
        tree.nodes.push_back(KdNode{});
        tree.nodes.push_back(KdNode{});
        tree.boxes.push_back(leftBox);
        tree.boxes.push_back(rightBox);
        build(tree, leftIndex, leftList, depth + 1, leftOrigin);
        std::vector<KdSplitEntry>().swap(leftList);  // not needed while the right side is built
        build(tree, leftIndex + 1, rightList, depth + 1, rightOrigin);
    }

    // Appends the two children of the node whose left child goes at the current end of `tree`:
    // both roots first, then the rest of the left subtree, then the rest of the right one.
    static void splice(PartialTree& tree, PartialTree&& left, PartialTree&& right)
    {
        const uint32_t leftRoot = uint32_t(tree.nodes.size());
        const uint32_t leftRest = leftRoot + 2;  // where left's node 1 goes
        const uint32_t rightRest = leftRest + uint32_t(left.nodes.size()) - 1;
        const uint32_t leftLeaves = uint32_t(tree.leaves.size());
        const uint32_t rightLeaves = leftLeaves + uint32_t(left.leaves.size());
        tree.nodes.reserve(tree.nodes.size() + left.nodes.size() + right.nodes.size());
        tree.boxes.reserve(tree.boxes.size() + left.boxes.size() + right.boxes.size());
        tree.leaves.reserve(tree.leaves.size() + left.leaves.size() + right.leaves.size());
        tree.references.reserve(tree.references.size() + left.references.size() + right.references.size());
        auto place = [](uint32_t local, uint32_t root, uint32_t rest) { return local == 0 ? root : rest + local - 1; };
        auto moved = [&](KdNode n, uint32_t root, uint32_t rest, uint32_t leafBase) {
            return n.isLeaf() ? KdNode::leaf(n.leafIndex() + leafBase)
                              : KdNode::interior(place(n.leftChild(), root, rest), n.axis(), n.split());
        };
        tree.nodes.push_back(moved(left.nodes[0], leftRoot, leftRest, leftLeaves));
        tree.nodes.push_back(moved(right.nodes[0], leftRoot + 1, rightRest, rightLeaves));
        tree.boxes.push_back(left.boxes[0]);
        tree.boxes.push_back(right.boxes[0]);
        for (size_t i = 1; i < left.nodes.size(); ++i) {
            tree.nodes.push_back(moved(left.nodes[i], leftRoot, leftRest, leftLeaves));
            tree.boxes.push_back(left.boxes[i]);
        }
        for (size_t i = 1; i < right.nodes.size(); ++i) {
            tree.nodes.push_back(moved(right.nodes[i], leftRoot + 1, rightRest, rightLeaves));
            tree.boxes.push_back(right.boxes[i]);
        }
        for (const PartialTree* part : {&left, &right}) {
            const uint32_t base = uint32_t(tree.references.size());
            for (KdLeaf leaf : part->leaves) {
                leaf.first += base;
                tree.leaves.push_back(leaf);
            }
            tree.references.insert(tree.references.end(), part->references.begin(), part->references.end());
        }
    }
};

}  // namespace

void buildKdTreeWith(KdTree& tree, const KdBuildRules& rules)
{
    static const RayTracingGeometry empty;
    const RayTracingGeometry& geometry = tree.geometry ? *tree.geometry : empty;

    Builder builder{rules, geometry, {}, {}, {}};
    builder.rule = tree.rule;
    if (tree.rule == KdBuildRule::SurfaceArea)
        builder.maxDepth = kdSahMaxDepth(geometry.triangles.size());
    const unsigned threads = rules.threads ? rules.threads : std::max(1u, std::thread::hardware_concurrency());
    if (threads > 1)
        builder.parallelDepth = uint32_t(std::ceil(std::log2(double(threads)))) + 2u;
    const size_t count = geometry.triangles.size();
    std::vector<KdSplitEntry> list(count);
    KdNodeBox root;
    root.boxMin = {kKdRootBoxBound, kKdRootBoxBound, kKdRootBoxBound};
    root.boxMax = {-kKdRootBoxBound, -kKdRootBoxBound, -kKdRootBoxBound};
    for (uint32_t i = 0; i < count; ++i) {
        list[i].triangle = i;
        Float3 v[3];
        builder.corners(i, v);
        for (const Float3& p : v)
            for (uint32_t a = 0; a < 3; ++a) {
                axisOf(root.boxMin, a) = std::min(axisOf(root.boxMin, a), axisOf(p, a));
                axisOf(root.boxMax, a) = std::max(axisOf(root.boxMax, a), axisOf(p, a));
            }
    }

    // Each triangle's own records, independent of the others: prepared on every thread, in
    // memory first touched by the thread that fills it.
    builder.accels.resize(count);
    builder.triangleScale.resize(count);
    if (rules.preparedExactTest)
        builder.edges.reset(new TriangleBoxEdges[count]);
    auto prepare = [&builder, &geometry, &rules](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            Float3 v[3];
            builder.corners(uint32_t(i), v);
            const RtTriangle& t = geometry.triangles[i];
            builder.triangleScale[i] = std::max(maxAbs(t.boxMin), maxAbs(t.boxMax));
            builder.accels[i] = computeTriAccel(v[0], v[1], v[2], t.surface ? t.surface->doubleSided : 0);
            if (rules.preparedExactTest)
                builder.edges[i] = prepareTriangleBoxEdges(v, builder.accels[i]);
        }
    };
    const size_t parts = count >= rules.parallelMinTriangles ? threads : 1;
    std::vector<std::future<void>> others;
    for (size_t part = 1; part < parts; ++part) {
        const size_t begin = count * part / parts, end = count * (part + 1) / parts;
        try {
            others.push_back(std::async(std::launch::async, prepare, begin, end));
        } catch (const std::system_error&) {
            prepare(begin, end);  // no thread to be had
        }
    }
    prepare(0, count / parts);
    for (std::future<void>& other : others)
        other.get();

    PartialTree built;
    built.nodes.push_back(KdNode{});
    built.boxes.push_back(root);
    KdSplitOrigin origin;
    origin.scale = kdSplitScale(root);  // every node's box lies in the root's
    builder.build(built, 0, list, 0, origin);
    tree.rootBox = built.boxes[0];
    tree.leafTriangles = std::move(built.references);
    tree.triangleAccels.resize(builder.accels.size());
    for (size_t i = 0; i < builder.accels.size(); ++i)
        tree.triangleAccels[i] = compactTriAccel(builder.accels[i]);
    const KdStoredTree stored{std::move(built.nodes), std::move(built.leaves)};
    if (!tree.setNodes(stored)) {
        logError("kd-tree of " + std::to_string(count) + " triangles not built: its " +
                 std::to_string(stored.nodes.size()) + " nodes or " + std::to_string(tree.leafTriangles.size()) +
                 " leaf entries are beyond what the walks index; the scene is not ray traced");
        tree.nodes.clear();
        tree.leafTriangles.clear();
        tree.triangleAccels.clear();
    }
}

void buildKdTreeWith(KdTree& tree, const KdSplitChooser& chooser)
{
    KdBuildRules literal;
    literal.chooser = chooser;
    literal.screenPartition = false;
    literal.preparedExactTest = false;
    literal.threads = 1;
    buildKdTreeWith(tree, literal);
}

void KdTree::buildKdTree()
{
    buildKdTreeWith(*this, KdBuildRules{});
}

}  // namespace Orvanta
