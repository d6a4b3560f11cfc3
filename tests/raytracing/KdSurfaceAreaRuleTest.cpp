#include "content/KdSahSplit.h"
#include "content/SceneFile.h"
#include "KdTestScenes.h"
#include "platform/Log.h"
#include "raytracing/KdTraversal.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

// randomScene's triangles (walls, flat and zero-area ones among them) with every coordinate times
// `scale`.
TestScene scaledScene(uint32_t seed, int triangles, float scale)
{
    const TestScene unit = randomScene(seed, triangles, 5.0f);
    TestScene s;
    for (const RtTriangle& t : unit.geometry.triangles) {
        auto at = [&](uint32_t i) { return unit.geometry.vertices[i].position * scale; };
        s.add(at(t.index0), at(t.index1), at(t.index2), t.surface->doubleSided != 0);
    }
    return s;
}

// `count` triangles of about size/20 scattered in a cube of `size`, plus one large floor under them.
TestScene denseCluster(uint32_t seed, int count, float size)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> pos(0.0f, size), small(-size / 40.0f, size / 40.0f);
    TestScene s;
    s.add({-size, 0, -size}, {-size, 0, 2 * size}, {2 * size, 0, -size}, true);
    for (int i = 1; i < count; ++i) {
        const Float3 a{pos(rng), pos(rng), pos(rng)};
        s.add(a, {a.x + small(rng), a.y + small(rng), a.z + small(rng)},
              {a.x + small(rng), a.y + small(rng), a.z + small(rng)}, (i & 1) != 0);
    }
    return s;
}

uint32_t largestLeaf(const KdTree& tree)
{
    uint32_t largest = 0;
    for (const KdTraceNode& n : tree.nodes)
        largest = std::max(largest, n.isLeaf() ? n.count() : 0u);
    return largest;
}

struct QuietLog {
    QuietLog()
    {
        setLogSink([](const std::string&) {});
    }
    ~QuietLog() { setLogSink(nullptr); }
};

}  // namespace

// Every walk over a surface-area tree finds the nearest hit a loop over all triangles finds, on
// scenes a thousandth of a unit to hundreds of units across.
TEST(KdSurfaceAreaRule, EveryWalkFindsTheBruteForceNearestHitAtEveryScale)
{
    int hits = 0, rays = 0;
    for (float scale : {0.0003f, 1.0f, 150.0f}) {
        const TestScene s = scaledScene(71, 700, scale);
        const KdTree tree = built(s, KdBuildRule::SurfaceArea);
        std::mt19937 rng(71);
        std::uniform_real_distribution<float> pos(-1.0f * scale, 6.0f * scale), dir(-1.0f, 1.0f);
        std::vector<Ray> single(1500);
        for (size_t i = 0; i < single.size(); ++i) {
            float o[3] = {pos(rng), pos(rng), pos(rng)}, d[3] = {dir(rng), dir(rng), dir(rng)};
            if (i % 10 == 0)
                d[i / 10 % 3] = 0.0f;  // axis-parallel components
            single[i] = makeRay(o, d);
        }
        std::vector<Ray> packets = single, stream = single;
        for (size_t i = 0; i < packets.size(); i += kMaxPacketRays)
            traversePacket(tree, packets.data() + i, unsigned(std::min<size_t>(kMaxPacketRays, packets.size() - i)));
        traverseStream(tree, stream.data(), stream.size());
        for (size_t i = 0; i < single.size(); ++i, ++rays) {
            const RtTriangle* expected = nullptr;
            const float tExpected = bruteForce(s.geometry, single[i], &expected);
            traverse(tree, single[i]);
            ASSERT_EQ(single[i].tHit, tExpected) << "scale " << scale << " ray " << i;
            ASSERT_EQ(packets[i].tHit, tExpected) << "packet walk, scale " << scale << " ray " << i;
            ASSERT_EQ(stream[i].tHit, tExpected) << "stream walk, scale " << scale << " ray " << i;
            ASSERT_EQ(single[i].hitTriangle == nullptr, expected == nullptr);
            hits += expected != nullptr;
        }
    }
    EXPECT_GT(hits, rays / 10) << "too few hits for the comparison to mean much";
}

// Small dense triangles, where the literal rule's tenth-of-a-unit steps find no plane inside the
// cluster, and the same cluster hundreds of units across: the surface-area rule keeps leaves small
// and references few at both scales, within its depth limit.
TEST(KdSurfaceAreaRule, LeavesStaySmallWhereTheLiteralRuleDegenerates)
{
    const TestScene small = denseCluster(5, 3000, 0.05f);
    EXPECT_GT(largestLeaf(built(small)), 1000u) << "the literal rule should fail on this scene";
    for (float size : {0.05f, 400.0f}) {
        const TestScene s = denseCluster(5, 3000, size);
        const KdTree tree = built(s, KdBuildRule::SurfaceArea);
        EXPECT_LE(largestLeaf(tree), 16u) << "size " << size;
        EXPECT_LT(double(tree.leafTriangles.size()), 3.0 * double(s.geometry.triangles.size())) << "size " << size;
        uint32_t deepest = 0;
        for (const KdNodeBox& box : tree.nodeBoxes())
            deepest = std::max(deepest, box.depth);
        EXPECT_LE(deepest, kdSahMaxDepth(s.geometry.triangles.size()));
        EXPECT_GT(deepest, 8u) << "size " << size;
    }
}

// A file names the rule its tree was built by: each rule reads its own files and rebuilds over the
// other's. Imported scenes get the surface-area rule, every other scene the literal one.
TEST(KdSurfaceAreaRule, EachRuleReadsOnlyItsOwnTreeFiles)
{
    QuietLog quiet;
    const std::string dir = makeTempDir("kdtree_rule");
    const TestScene s = scaledScene(9, 300, 0.02f);
    const KdTree area = built(s, KdBuildRule::SurfaceArea), literal = built(s);
    ASSERT_TRUE(area.saveKdTree(dir + "/area.kdTree", "scene"));
    ASSERT_TRUE(literal.saveKdTree(dir + "/literal.kdTree", "scene"));

    KdTree loaded;
    loaded.geometry = &s.geometry;
    loaded.rule = KdBuildRule::Literal;
    EXPECT_FALSE(loaded.loadKdTree(dir + "/area.kdTree", "scene"));
    EXPECT_TRUE(loaded.loadKdTree(dir + "/literal.kdTree", "scene"));
    loaded.rule = KdBuildRule::SurfaceArea;
    EXPECT_FALSE(loaded.loadKdTree(dir + "/literal.kdTree", "scene"));
    ASSERT_TRUE(loaded.loadKdTree(dir + "/area.kdTree", "scene"));
    ASSERT_EQ(loaded.nodes.size(), area.nodes.size());
    EXPECT_EQ(std::memcmp(loaded.nodes.data(), area.nodes.data(), area.nodes.size() * sizeof(KdTraceNode)), 0);
    EXPECT_EQ(loaded.leafTriangles, area.leafTriangles);

    EXPECT_EQ(kdBuildRuleForScene(std::string(kImportedSceneTagPrefix) + "yard 0123abcd"), KdBuildRule::SurfaceArea);
    EXPECT_EQ(kdBuildRuleForScene("kindergarten 7"), KdBuildRule::Literal);
    EXPECT_EQ(kdBuildRuleForScene(""), KdBuildRule::Literal);

    // Scene loading's obtain: builds and saves by the scene's rule, then reads its own file back.
    const std::string tag = std::string(kImportedSceneTagPrefix) + "cluster 42";
    KdTree obtained;
    obtained.geometry = &s.geometry;
    EXPECT_TRUE(obtainKdTree(obtained, dir + "/obtained.kdTree", tag));
    EXPECT_EQ(obtained.rule, KdBuildRule::SurfaceArea);
    EXPECT_EQ(obtained.leafTriangles, area.leafTriangles);
    KdTree again;
    again.geometry = &s.geometry;
    EXPECT_FALSE(obtainKdTree(again, dir + "/obtained.kdTree", tag)) << "the saved tree should be read, not rebuilt";
    EXPECT_EQ(again.leafTriangles, area.leafTriangles);
}
