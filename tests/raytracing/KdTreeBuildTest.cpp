#include "content/KdTriangleBox.h"
#include "KdTestScenes.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <set>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

// Visits every leaf with its depth; checks along the way that children follow their parent.
void forEachLeaf(const KdTree& tree, const std::function<void(uint32_t node, uint32_t depth)>& f, uint32_t node = 0,
                 uint32_t depth = 0)
{
    const KdTraceNode& n = tree.nodes[node];
    if (n.isLeaf()) {
        f(node, depth);
        return;
    }
    ASSERT_GT(n.leftChild(), node);
    ASSERT_LT(n.leftChild() + 1, tree.nodes.size());
    forEachLeaf(tree, f, n.leftChild(), depth + 1);
    forEachLeaf(tree, f, n.leftChild() + 1, depth + 1);
}

}  // namespace

TEST(KdTreeBuild, EmptySceneIsOneLeafWithInvertedBox)
{
    TestScene s;
    KdTree tree = built(s);
    ASSERT_EQ(tree.nodes.size(), 1u);
    ASSERT_EQ(tree.nodeBoxes().size(), 1u);
    ASSERT_TRUE(tree.nodes[0].isLeaf());
    EXPECT_EQ(tree.nodes[0].count(), 0u);
    EXPECT_EQ(tree.stored().nodes[0].word0, 1u);
    EXPECT_EQ(tree.rootBox.boxMin.x, 10000.0f);
    EXPECT_EQ(tree.rootBox.boxMax.z, -10000.0f);
}

TEST(KdTreeBuild, FourTrianglesMakeALeafAndFiveAreSplit)
{
    TestScene s;
    for (int i = 0; i < 4; ++i)
        s.add({float(i), 0, 0}, {float(i) + 0.5f, 0, 0}, {float(i), 0.5f, 0});
    KdTree four = built(s);
    ASSERT_EQ(four.nodes.size(), 1u);
    EXPECT_EQ(four.nodes[0].count(), 4u);
    EXPECT_EQ(four.leafTriangle(KdTree::leafOf(four.nodes[0]), 2), 2u);

    // Five copies of one triangle: no split helps, yet the node is split.
    TestScene same;
    for (int i = 0; i < 5; ++i)
        same.add({0, 0, 0}, {1, 0, 0}, {0, 1, 1});
    KdTree five = built(same);
    EXPECT_FALSE(five.nodes[0].isLeaf());
    EXPECT_EQ(five.nodes[0].leftChild(), 1u);
    EXPECT_EQ(five.nodeBoxes()[1].depth, 1u);
}

TEST(KdTreeBuild, DepthNeverExceedsTheLimit)
{
    // Many identical triangles can never be separated, so only the depth limit stops the split.
    TestScene s;
    for (int i = 0; i < 6; ++i)
        s.add({0, 0, 0}, {0.3f, 0, 0}, {0, 0.3f, 0.3f});
    KdTree tree = built(s);
    uint32_t deepest = 0;
    const std::vector<KdNodeBox> boxes = tree.nodeBoxes();
    forEachLeaf(tree, [&](uint32_t node, uint32_t depth) {
        deepest = std::max(deepest, depth);
        EXPECT_EQ(boxes[node].depth, depth);
    });
    EXPECT_EQ(deepest, kKdMaxDepth);
}

namespace {

void collect(const KdTree& tree, uint32_t node, std::set<const RtTriangle*>& out)
{
    const KdTraceNode& n = tree.nodes[node];
    if (n.isLeaf()) {
        const KdLeaf leaf = KdTree::leafOf(n);
        for (uint32_t i = 0; i < leaf.count; ++i)
            out.insert(&tree.geometry->triangles[tree.leafTriangle(leaf, i)]);
        return;
    }
    collect(tree, n.leftChild(), out);
    collect(tree, n.leftChild() + 1, out);
}

}  // namespace

TEST(KdTreeBuild, TriangleInTheSplitPlaneIsInBothSubtrees)
{
    // Two clusters along x and a wall perpendicular to x; the wall is moved over the candidate
    // positions until the root splits exactly in its plane.
    int cases = 0;
    for (float w = 0.0f; w < 2.0f; w += 0.1f) {
        TestScene s;
        for (int i = 0; i < 4; ++i) {
            s.add({0, float(i), 0}, {0.2f, float(i), 0}, {0, float(i) + 0.2f, 0.1f});
            s.add({1.8f, float(i), 0}, {2.0f, float(i), 0}, {2.0f, float(i) + 0.2f, 0.1f});
        }
        s.add({w, 0.5f, 0.0f}, {w, 2.5f, 0.0f}, {w, 0.5f, 0.1f});
        KdTree tree = built(s);
        const KdTraceNode& root = tree.nodes[0];
        if (root.isLeaf() || root.axis() != 0 || root.split() != w)
            continue;
        ++cases;
        std::set<const RtTriangle*> left, right;
        collect(tree, root.leftChild(), left);
        collect(tree, root.leftChild() + 1, right);
        const RtTriangle* wall = &s.geometry.triangles.back();
        EXPECT_TRUE(left.count(wall)) << "wall at " << w;
        EXPECT_TRUE(right.count(wall)) << "wall at " << w;
    }
    EXPECT_GT(cases, 0) << "the root never split in the wall's plane; the scene no longer tests this";
}

TEST(KdTreeBuild, EveryTriangleReachesALeafOverlappingIt)
{
    TestScene s = randomScene(7, 300, 4.0f);
    KdTree tree = built(s);
    std::vector<int> found(s.geometry.triangles.size(), 0);
    forEachLeaf(tree, [&](uint32_t node, uint32_t) {
        const KdLeaf leaf = KdTree::leafOf(tree.nodes[node]);
        ASSERT_LE(size_t(leaf.first) + leaf.count, tree.leafTriangles.size());
        for (uint32_t i = 0; i < leaf.count; ++i)
            found[tree.leafTriangle(leaf, i)]++;
    });
    ASSERT_EQ(tree.triangleAccels.size(), s.geometry.triangles.size());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(tree.triangleAccels.data()) % 16, 0u);
    // The leaves' ranges follow each other without gaps, in the file's leaf order.
    uint32_t next = 0;
    for (const KdLeaf& leaf : tree.stored().leaves) {
        EXPECT_EQ(leaf.first, next);
        next += leaf.count;
    }
    EXPECT_EQ(next, tree.leafTriangles.size());
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_GE(found[i], 1) << "triangle " << i << " is in no leaf";
}

TEST(KdTreeBuild, FastBuildEqualsLiteralBuild)
{
    const std::string dir = makeTempDir("kdtree_equal");
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const int count = 20 + int(seed * 7 % 120);
        const float extent = (seed % 4 == 0) ? 0.7f : 1.0f + float(seed % 5);
        TestScene s = randomScene(seed, count, extent);
        KdTree fast = built(s);
        KdTree literal;
        literal.geometry = &s.geometry;
        buildKdTreeWith(literal, literalSplit);
        const std::vector<uint8_t> a = savedBytes(fast, dir + "/fast.kdTree");
        const std::vector<uint8_t> b = savedBytes(literal, dir + "/literal.kdTree");
        ASSERT_FALSE(a.empty());
        ASSERT_TRUE(a == b) << "seed " << seed << ": " << fast.nodes.size() << " nodes against "
                            << literal.nodes.size();
    }
}

TEST(KdTreeBuild, FastBuildEqualsLiteralBuildAwayFromTheOrigin)
{
    // Larger coordinates make the float overlap test round differently around candidates.
    const std::string dir = makeTempDir("kdtree_far");
    for (uint32_t seed = 100; seed < 110; ++seed) {
        TestScene s = randomScene(seed, 80, 3.0f);
        for (RtVertex& v : s.geometry.vertices)
            v.position = {v.position.x + 1234.5f, v.position.y - 777.7f, v.position.z + 99.9f};
        for (RtTriangle& t : s.geometry.triangles) {
            t.boxMin = {t.boxMin.x + 1234.5f, t.boxMin.y - 777.7f, t.boxMin.z + 99.9f};
            t.boxMax = {t.boxMax.x + 1234.5f, t.boxMax.y - 777.7f, t.boxMax.z + 99.9f};
        }
        KdTree fast = built(s);
        KdTree literal;
        literal.geometry = &s.geometry;
        buildKdTreeWith(literal, literalSplit);
        ASSERT_TRUE(savedBytes(fast, dir + "/a.kdTree") == savedBytes(literal, dir + "/b.kdTree")) << "seed " << seed;
    }
}

TEST(KdTreeBuild, HugeCoordinatesWhereAddingATenthStallsStillFinish)
{
    // At 4e6 a float step is 0.5, so c + 0.1 == c: the split search must not loop forever.
    TestScene s;
    for (int i = 0; i < 6; ++i) {
        const float x = 4.0e6f + float(i) * 2.0f;
        s.add({x, 0, 0}, {x + 1.0f, 0, 0}, {x, 1.0f, 1.0f});
    }
    KdTree fast = built(s);
    KdTree literal;
    literal.geometry = &s.geometry;
    buildKdTreeWith(literal, literalSplit);
    const std::string dir = makeTempDir("kdtree_huge");
    EXPECT_TRUE(savedBytes(fast, dir + "/a.kdTree") == savedBytes(literal, dir + "/b.kdTree"));
    EXPECT_GT(fast.nodes.size(), 1u);
}

TEST(KdTreeBuild, ThreadsAndSplicedSubtreesGiveTheSingleThreadedTree)
{
    const std::string dir = makeTempDir("kdtree_threads");
    for (uint32_t seed = 200; seed < 206; ++seed) {
        TestScene s = randomScene(seed, 700, 4.0f);
        KdTree single, parallel;
        single.geometry = parallel.geometry = &s.geometry;
        KdBuildRules one;
        one.threads = 1;
        buildKdTreeWith(single, one);
        KdBuildRules many;
        many.threads = 4;
        many.parallelMinTriangles = 1;  // splice at every interior node
        buildKdTreeWith(parallel, many);
        ASSERT_GT(single.nodes.size(), 50u);
        ASSERT_TRUE(savedBytes(single, dir + "/one.kdTree") == savedBytes(parallel, dir + "/many.kdTree"))
            << "seed " << seed;
        // The spliced leaves cover the same triangles, in the same order and places.
        ASSERT_EQ(single.leafTriangles, parallel.leafTriangles);
        ASSERT_EQ(single.nodes.size(), parallel.nodes.size());
        EXPECT_EQ(std::memcmp(single.nodes.data(), parallel.nodes.data(), single.nodes.size() * sizeof(KdTraceNode)),
                  0);
    }
}

TEST(KdTreeBuild, ScreenedSidesAgreeWithTheExactTest)
{
    // Triangles around split planes at several scales; whenever the box screen decides, it must
    // decide what the exact test says for both children.
    std::mt19937 rng(31);
    int decided = 0, undecided = 0;
    for (float offset : {0.0f, 37.3f, -1500.0f, 60000.0f}) {
        std::uniform_real_distribution<float> pos(offset - 2.0f, offset + 2.0f), small(-0.6f, 0.6f);
        std::uniform_real_distribution<float> near(-2e-3f, 2e-3f);
        for (int i = 0; i < 4000; ++i) {
            KdNodeBox box;
            box.boxMin = {offset - 1.0f, offset - 1.0f, offset - 1.0f};
            box.boxMax = {offset + 1.0f, offset + 1.0f, offset + 1.0f};
            const uint32_t axis = uint32_t(i % 3);
            const float split = pos(rng) * 0.5f + offset * 0.5f;
            Float3 v[3];
            v[0] = {pos(rng), pos(rng), pos(rng)};
            if (i % 4 == 0)
                axisOf(v[0], axis) = split + near(rng) * (1.0f + std::fabs(offset));  // hugging the plane
            v[1] = {v[0].x + small(rng), v[0].y + small(rng), v[0].z + small(rng)};
            v[2] = {v[0].x + small(rng), v[0].y + small(rng), v[0].z + small(rng)};
            const TriAccel accel = computeTriAccel(v[0], v[1], v[2], 0);
            if (!triangleOverlapsBox(box.boxMin, box.boxMax, v, accel))
                continue;  // not in this node's list
            RtTriangle t;
            t.boxMin = {std::min({v[0].x, v[1].x, v[2].x}), std::min({v[0].y, v[1].y, v[2].y}),
                        std::min({v[0].z, v[1].z, v[2].z})};
            t.boxMax = {std::max({v[0].x, v[1].x, v[2].x}), std::max({v[0].y, v[1].y, v[2].y}),
                        std::max({v[0].z, v[1].z, v[2].z})};
            KdNodeBox left = box, right = box;
            axisOf(left.boxMax, axis) = split;
            axisOf(right.boxMin, axis) = split;
            const unsigned exact = (triangleOverlapsBox(left.boxMin, left.boxMax, v, accel) ? 1u : 0u) |
                                   (triangleOverlapsBox(right.boxMin, right.boxMax, v, accel) ? 2u : 0u);
            const unsigned screened = screenedSides(box, axis, split, t);
            if (screened == 0u) {
                ++undecided;
                continue;
            }
            ++decided;
            ASSERT_EQ(screened, exact) << "offset " << offset << " case " << i;
        }
    }
    EXPECT_GT(decided, 1000);
    EXPECT_GT(undecided, 100);
}

TEST(KdTreeBuild, FloorsOnTheBoxFaceEqualLiteralBuild)
{
    // Many triangles share an interval lying on a face of the node box (a flat floor at the
    // scene's lowest y, a ceiling at its highest), the case whose candidates are all evaluated.
    const std::string dir = makeTempDir("kdtree_floor");
    for (uint32_t seed = 300; seed < 304; ++seed) {
        TestScene s = randomScene(seed, 150, 3.0f);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> pos(0.0f, 3.0f), size(0.05f, 0.4f);
        float lowest = 0.0f, highest = 0.0f;
        for (const RtVertex& v : s.geometry.vertices) {
            lowest = std::min(lowest, v.position.y);
            highest = std::max(highest, v.position.y);
        }
        for (int i = 0; i < 150; ++i) {
            const float x = pos(rng), z = pos(rng), e = size(rng);
            const float y = i % 3 == 0 ? highest : lowest;
            s.add({x, y, z}, {x, y, z + e}, {x + e, y, z}, i % 2 == 0);
        }
        KdTree fast = built(s), literal;
        literal.geometry = &s.geometry;
        buildLiteralKdTree(literal);
        ASSERT_TRUE(savedBytes(fast, dir + "/a.kdTree") == savedBytes(literal, dir + "/b.kdTree")) << "seed " << seed;
    }
}
