#include "raytracing/KdTraversal.h"
#include "KdTestScenes.h"
#include "raytracing/TriAccelHit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>

#include <random>
#include <utility>
#include <vector>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

TriAccel accelOf(const RayTracingGeometry& g, const RtTriangle& t)
{
    return computeTriAccel(g.vertices[t.index0].position, g.vertices[t.index1].position, g.vertices[t.index2].position,
                           t.surface->doubleSided);
}

// Every lane width the packet walk has on this CPU: 4 (SSE2), 8 (AVX2), 16 (AVX-512F).
std::vector<unsigned> packetWidths()
{
    std::vector<unsigned> widths;
    for (unsigned width : {4u, 8u, 16u})
        if (width <= packetWidth())
            widths.push_back(width);
    if (widths.size() < 3)
        std::printf("this CPU walks at most %u lanes: the wider packet walks are not tested here\n", packetWidth());
    return widths;
}

// The same hit: triangle, record, distance and weights.
bool sameHit(const Ray& a, const Ray& b)
{
    return a.tHit == b.tHit && a.hitAccel == b.hitAccel && a.hitTriangle == b.hitTriangle &&
           (a.hitTriangle == nullptr || (a.beta == b.beta && a.gamma == b.gamma));
}

// Walks copies of rays[0..count) as one packet at every width the CPU has; the first lane whose hit
// differs from expected[lane], or -1 with its width when all agree.
std::pair<int, unsigned> firstPacketDifference(const KdTree& tree, const Ray* rays, const Ray* expected, unsigned count)
{
    for (unsigned width : packetWidths()) {
        Ray walked[kMaxPacketRays];
        std::copy(rays, rays + count, walked);
        traversePacket(tree, walked, count, width);
        for (unsigned r = 0; r < count; ++r)
            if (!sameHit(expected[r], walked[r]))
                return {int(r), width};
    }
    return {-1, 0};
}

Ray rayFrom(float ox, float oy, float oz, float dx, float dy, float dz)
{
    const float o[3] = {ox, oy, oz}, d[3] = {dx, dy, dz};
    return makeRay(o, d);
}

// The stream walk at every width and packets of every width give each ray of `walkedLiterally`
// (rays already walked by literalTraverse) the literal walk's hit.
void expectStreamsAndPacketsAgree(const KdTree& tree, const std::vector<Ray>& walkedLiterally)
{
    for (unsigned width : packetWidths()) {
        std::vector<Ray> walked(walkedLiterally.size());
        for (size_t i = 0; i < walked.size(); ++i)
            walked[i] = makeRay(walkedLiterally[i].origin, walkedLiterally[i].direction);
        traverseStream(tree, walked.data(), walked.size(), width);
        for (size_t i = 0; i < walked.size(); ++i)
            ASSERT_TRUE(sameHit(walkedLiterally[i], walked[i])) << "stream, ray " << i << ", width " << width;
    }
    for (size_t i = 0; i + kMaxPacketRays <= walkedLiterally.size(); i += kMaxPacketRays) {
        Ray packet[kMaxPacketRays];
        for (unsigned r = 0; r < kMaxPacketRays; ++r)
            packet[r] = makeRay(walkedLiterally[i + r].origin, walkedLiterally[i + r].direction);
        const auto [lane, width] = firstPacketDifference(tree, packet, walkedLiterally.data() + i, kMaxPacketRays);
        ASSERT_EQ(lane, -1) << "packet from ray " << i << " width " << width;
    }
}

}  // namespace

TEST(KdTraversal, NearestHitMatchesBruteForceOnRandomScenes)
{
    int hits = 0, rays = 0;
    for (uint32_t seed = 11; seed < 19; ++seed) {
        TestScene s = randomScene(seed, 400, 5.0f);
        KdTree tree = built(s);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> pos(-1.0f, 6.0f), dir(-1.0f, 1.0f);
        for (int i = 0; i < 2000; ++i, ++rays) {
            float d[3] = {dir(rng), dir(rng), dir(rng)};
            if (i % 10 == 0)
                d[i / 10 % 3] = 0.0f;  // axis-parallel components
            Ray ray = rayFrom(pos(rng), pos(rng), pos(rng), d[0], d[1], d[2]);
            const RtTriangle* expected = nullptr;
            const float tExpected = bruteForce(s.geometry, ray, &expected);
            traverse(tree, ray);
            ASSERT_EQ(ray.tHit, tExpected) << "seed " << seed << " ray " << i;
            if (expected) {
                ++hits;
                ASSERT_NE(ray.hitTriangle, nullptr);
                // Two triangles may be hit at the same t; the surface point must be the same.
                EXPECT_EQ(ray.hitAccel->k, accelOf(s.geometry, *ray.hitTriangle).k);
            } else {
                EXPECT_EQ(ray.hitTriangle, nullptr);
            }
        }
    }
    EXPECT_GT(hits, rays / 10) << "too few hits for the comparison to mean much";
}

TEST(KdTraversal, BackFacesAreCulledUnlessDoubleSided)
{
    for (bool twoSided : {false, true}) {
        TestScene s;
        // Counter-clockwise seen from +z: the normal points to +z.
        s.add({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, twoSided);
        KdTree tree = built(s);
        Ray front = rayFrom(0.25f, 0.25f, 5, 0, 0, -1);
        traverse(tree, front);
        EXPECT_EQ(front.tHit, 5.0f);
        EXPECT_FLOAT_EQ(front.beta, 0.25f);
        EXPECT_FLOAT_EQ(front.gamma, 0.25f);
        EXPECT_EQ(front.hitTriangle, &s.geometry.triangles[0]);
        Ray back = rayFrom(0.25f, 0.25f, -5, 0, 0, 2);
        traverse(tree, back);
        EXPECT_EQ(back.tHit, twoSided ? 2.5f : kRayNoHit) << "double-sided " << twoSided;
    }
}

TEST(KdTraversal, FacingFollowsTheWholeNormalNotItsDominantComponent)
{
    // A slope with normal (0.8, 0.6, 0), dominant axis x. The ray comes down onto its front face
    // while moving towards +x, so direction.x * N.x > 0 although direction . N < 0.
    TestScene s;
    s.add({0, 0, 0}, {-3, 4, 0}, {0, 0, 5});
    KdTree tree = built(s);
    ASSERT_EQ(tree.triangleAccels[0].k, 0u);
    const float cx = -1.0f, cy = 4.0f / 3.0f, cz = 5.0f / 3.0f;  // centroid
    Ray front = rayFrom(cx - 0.2f, cy + 2.0f, cz, 0.1f, -1.0f, 0.0f);
    traverse(tree, front);
    EXPECT_NEAR(front.tHit, 2.0f, 1e-5f);
    EXPECT_EQ(front.hitTriangle, &s.geometry.triangles[0]);
    // The mirror case from below: direction.x * N.x < 0 but the face is seen from behind.
    Ray back = rayFrom(cx + 0.2f, cy - 2.0f, cz, -0.1f, 1.0f, 0.0f);
    traverse(tree, back);
    EXPECT_EQ(back.hitTriangle, nullptr);
}

TEST(KdTraversal, HitsReportTheNormalOfTheTriangleAsItsCornersWind)
{
    // The tree keeps of the normal only its dominant component; the face normal of a hit is
    // rebuilt from the plane row. Against the cross product of the edges, for triangles facing
    // every way (each dominant axis, both signs).
    std::mt19937 rng(12);
    std::uniform_real_distribution<float> pos(-3.0f, 3.0f);
    int axes[3] = {0, 0, 0};
    for (int i = 0; i < 300; ++i) {
        const Float3 a{pos(rng), pos(rng), pos(rng)}, b{pos(rng), pos(rng), pos(rng)}, c{pos(rng), pos(rng), pos(rng)};
        const Float3 expected = normalize(cross(b - a, c - a));
        const TriAccel full = computeTriAccel(a, b, c, 0);
        ++axes[full.k];
        Ray ray;
        const CompactTriAccel record = compactTriAccel(full);
        ray.hitAccel = &record;
        const Float3 n = faceNormal(ray);
        EXPECT_NEAR(n.x, expected.x, 1e-5f) << "triangle " << i;
        EXPECT_NEAR(n.y, expected.y, 1e-5f) << "triangle " << i;
        EXPECT_NEAR(n.z, expected.z, 1e-5f) << "triangle " << i;
    }
    EXPECT_GT(axes[0] * axes[1] * axes[2], 0) << "some dominant axis never came up";
}

TEST(KdTraversal, ParallelRaysEdgesAndZeroAreaTrianglesAreNeverHit)
{
    TestScene s;
    s.add({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, true);
    s.add({3, 0, 0}, {3, 0, 0}, {3, 1, 0}, true);  // repeated vertex
    s.add({5, 0, 0}, {6, 0, 0}, {7, 0, 0}, true);  // collinear
    for (size_t i = 1; i < 3; ++i) {
        const TriAccel a = accelOf(s.geometry, s.geometry.triangles[i]);
        EXPECT_TRUE(isDegenerateTriAccel(a));
    }
    KdTree tree = built(s);
    Ray inPlane = rayFrom(-1, 0.25f, 0, 1, 0, 0);
    traverse(tree, inPlane);
    EXPECT_EQ(inPlane.tHit, kRayNoHit);
    Ray onEdge = rayFrom(0.5f, 0, 1, 0, 0, -1);  // on the edge A-B: gamma = 0
    traverse(tree, onEdge);
    EXPECT_EQ(onEdge.tHit, kRayNoHit);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> any(-10.0f, 10.0f);
    for (int i = 0; i < 5000; ++i) {
        Ray r = rayFrom(any(rng), any(rng), any(rng), any(rng), any(rng), any(rng));
        traverse(tree, r);
        EXPECT_TRUE(r.hitTriangle == nullptr || r.hitTriangle == &s.geometry.triangles[0]);
    }
}

TEST(KdTraversal, PacketsGiveEveryRayTheSingleWalksHit)
{
    int hits = 0;
    for (uint32_t seed = 40; seed < 46; ++seed) {
        TestScene s = randomScene(seed, 600, 5.0f);
        KdTree tree = built(s);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> pos(-1.0f, 6.0f), dir(-1.0f, 1.0f), jitter(-0.02f, 0.02f);
        for (int i = 0; i < 1500; ++i) {
            // Alternately: neighbours of one camera-like ray, and unrelated rays.
            const bool coherent = i % 2 == 0;
            const float o[3] = {pos(rng), pos(rng), pos(rng)}, d[3] = {dir(rng), dir(rng), dir(rng)};
            Ray single[kMaxPacketRays], packet[kMaxPacketRays];
            const unsigned count = i % 3 == 0 ? 1 + unsigned(i % kMaxPacketRays) : kMaxPacketRays;
            for (unsigned r = 0; r < kMaxPacketRays; ++r) {
                float ro[3], rd[3];
                for (int a = 0; a < 3; ++a) {
                    // Every other coherent packet also spreads its origins, so split planes
                    // fall between them and the lanes disagree on the order of children.
                    ro[a] = coherent ? o[a] + ((i / 2) % 2 == 1 ? 20.0f * jitter(rng) : 0.0f) : pos(rng);
                    rd[a] = coherent ? d[a] + jitter(rng) : dir(rng);
                }
                if (i % 7 == 0)
                    rd[r % 3] = 0.0f;  // axis-parallel lanes
                single[r] = packet[r] = makeRay(ro, rd);
            }
            for (unsigned r = 0; r < count; ++r) {
                traverse(tree, single[r]);
                hits += single[r].hitTriangle != nullptr;
            }
            const auto [lane, width] = firstPacketDifference(tree, packet, single, count);
            ASSERT_EQ(lane, -1) << "seed " << seed << " packet " << i << " width " << width;
        }
    }
    EXPECT_GT(hits, 4000);
    // Lanes past the count are left alone.
    TestScene s = randomScene(3, 50, 2.0f);
    KdTree tree = built(s);
    for (unsigned width : packetWidths())
        for (unsigned count : {1u, 3u, 4u, 5u, 8u, 9u, kMaxPacketRays - 1}) {
            Ray rays[kMaxPacketRays];
            const float o[3] = {1, 1, -5}, d[3] = {0, 0, 1};
            for (Ray& r : rays)
                r = makeRay(o, d);
            rays[count].tHit = 123.0f;
            traversePacket(tree, rays, count, width);
            EXPECT_EQ(rays[count].tHit, 123.0f) << "count " << count << " width " << width;
            EXPECT_EQ(rays[count].hitTriangle, nullptr);
        }
}

TEST(KdTraversal, StreamsGiveEveryRayTheSingleWalksHit)
{
    int hits = 0;
    for (uint32_t seed = 50; seed < 54; ++seed) {
        TestScene s = randomScene(seed, 700, 5.0f);
        KdTree tree = built(s);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> pos(-3.0f, 8.0f), dir(-1.0f, 1.0f);
        // Stream lengths around and below the number of interleaved walks, and a long one whose
        // walks end at every moment of the others'.
        for (size_t count : {size_t(0), size_t(1), size_t(3), size_t(5), size_t(1237)}) {
            std::vector<Ray> single(count), stream(count);
            for (size_t i = 0; i < count; ++i) {
                float o[3] = {pos(rng), pos(rng), pos(rng)}, d[3] = {dir(rng), dir(rng), dir(rng)};
                if (i % 9 == 0)
                    d[i % 3] = 0.0f;  // axis-parallel
                if (i % 13 == 0)
                    o[(i + 1) % 3] = 0.1f * float(i % 40);  // on a candidate plane
                single[i] = stream[i] = makeRay(o, d);
                traverse(tree, single[i]);
                hits += single[i].hitTriangle != nullptr;
            }
            // At every width the CPU has: four lanes, eight with AVX2, sixteen with AVX-512F.
            for (unsigned width : packetWidths()) {
                std::vector<Ray> walked = stream;
                traverseStream(tree, walked.data(), count, width);
                for (size_t i = 0; i < count; ++i)
                    ASSERT_TRUE(sameHit(single[i], walked[i]))
                        << "seed " << seed << " ray " << i << " of " << count << ", width " << width;
            }
        }
    }
    EXPECT_GT(hits, 400);
}

TEST(KdTraversal, ClippedSingleAndPacketWalksFindWhatTheLiteralWalkFinds)
{
    // The engine cuts each segment at the root box and walks packets; neither may change which
    // triangle is hit, at which distance, with which weights. Rays start inside and outside the
    // box, on split-candidate planes, and run along axes.
    int hits = 0, outside = 0;
    for (uint32_t seed = 70; seed < 76; ++seed) {
        TestScene s = randomScene(seed, 500, 4.0f);
        KdTree tree = built(s);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> pos(-3.0f, 7.0f), dir(-1.0f, 1.0f);
        std::uniform_int_distribution<int> step(0, 40);
        constexpr int kRays = int(kMaxPacketRays);
        for (int i = 0; i < 2000; i += kRays) {
            Ray literal[kRays], single[kRays], packet[kRays];
            for (int r = 0; r < kRays; ++r) {
                float o[3] = {pos(rng), pos(rng), pos(rng)}, d[3] = {dir(rng), dir(rng), dir(rng)};
                if ((i / 4 + r) % 5 == 0)
                    o[r % 3] = 0.1f * float(step(rng));  // near a candidate plane
                if ((i / 4 + r) % 7 == 0)
                    d[(r + 1) % 3] = 0.0f;
                literal[r] = single[r] = packet[r] = makeRay(o, d);
                const KdNodeBox& b = tree.rootBox;
                outside += o[0] < b.boxMin.x || o[0] > b.boxMax.x || o[1] < b.boxMin.y || o[1] > b.boxMax.y ||
                           o[2] < b.boxMin.z || o[2] > b.boxMax.z;
            }
            for (int r = 0; r < kRays; ++r) {
                literalTraverse(tree, literal[r]);
                traverse(tree, single[r]);
                ASSERT_TRUE(sameHit(literal[r], single[r])) << "seed " << seed << " ray " << i + r;
                hits += literal[r].hitTriangle != nullptr;
            }
            const auto [lane, width] = firstPacketDifference(tree, packet, literal, kRays);
            ASSERT_EQ(lane, -1) << "seed " << seed << " packet from ray " << i << " width " << width;
        }
    }
    EXPECT_GT(hits, 1000);
    EXPECT_GT(outside, 1500);
}

TEST(KdTraversal, LargeLeavesGiveTheLiteralWalksHitWithTiesToTheFirstTriangle)
{
    // Hundreds of triangles inside a box narrower than the split step stay together in large
    // leaves, which the walks test many triangles at a time. Every triangle is there twice (the
    // same corners, one of each pair double-sided), so most hits are ties at the same distance:
    // the walks must keep the first of the leaf, as the literal walk does.
    TestScene s;
    std::mt19937 rng(91);
    std::uniform_real_distribution<float> pos(0.0f, 0.08f), dir(-1.0f, 1.0f), far(-0.5f, 0.6f);
    for (int i = 0; i < 200; ++i) {
        const Float3 a{pos(rng), pos(rng), pos(rng)}, b{pos(rng), pos(rng), pos(rng)}, c{pos(rng), pos(rng), pos(rng)};
        s.add(a, b, c, i % 3 == 0);
        s.add(a, b, c, i % 3 != 0);
    }
    s.add({0.0f, 0.0f, 0.0f}, {0.04f, 0.0f, 0.0f}, {0.08f, 0.0f, 0.0f});  // no area
    KdTree tree = built(s);
    uint32_t largest = 0;
    for (const KdTraceNode& n : tree.nodes)
        largest = std::max(largest, n.isLeaf() ? n.count() : 0u);
    ASSERT_GE(largest, 40u);
    std::vector<Ray> literal(2000), single(2000);
    int ties = 0;
    for (size_t i = 0; i < literal.size(); ++i) {
        float o[3] = {far(rng), far(rng), far(rng)};
        const float target[3] = {pos(rng), pos(rng), pos(rng)};
        float d[3] = {target[0] - o[0], target[1] - o[1], target[2] - o[2]};
        if (i % 11 == 0)
            d[i % 3] = 0.0f;  // axis-parallel
        if (i % 7 == 0)
            for (float& c : d)
                c = dir(rng);
        literal[i] = single[i] = makeRay(o, d);
        literalTraverse(tree, literal[i]);
        traverse(tree, single[i]);
        ASSERT_TRUE(sameHit(literal[i], single[i])) << "ray " << i;
        // The first of a pair has an even index.
        ties += literal[i].hitTriangle && (literal[i].hitTriangle - s.geometry.triangles.data()) % 2 == 0;
    }
    EXPECT_GT(ties, 200);
    expectStreamsAndPacketsAgree(tree, literal);
}

TEST(KdTraversal, WalksThatSkipEmptyLeavesGiveTheHitsOfTheWalkEnteringEveryLeaf)
{
    // The walks skip children flagged empty; the literal walk enters every leaf it reaches. Both
    // must give every ray the same hit, in the single walk, packets of each width and streams.
    TestScene s = randomScene(81, 800, 5.0f);
    KdTree tree = built(s);
    size_t flagged = 0;
    for (const KdTraceNode& n : tree.nodes)
        flagged += !n.isLeaf() && n.emptyChildren() != 0;
    ASSERT_GT(flagged, 0u) << "no empty leaf; the scene no longer tests skipping them";

    std::mt19937 rng(81);
    std::uniform_real_distribution<float> pos(-2.0f, 7.0f), dir(-1.0f, 1.0f);
    std::vector<Ray> literal(3000), single(3000);
    int hits = 0;
    for (size_t i = 0; i < literal.size(); ++i) {
        const float o[3] = {pos(rng), pos(rng), pos(rng)}, d[3] = {dir(rng), dir(rng), dir(rng)};
        literal[i] = single[i] = makeRay(o, d);
        literalTraverse(tree, literal[i]);
        traverse(tree, single[i]);
        ASSERT_TRUE(sameHit(literal[i], single[i])) << "ray " << i;
        hits += literal[i].hitTriangle != nullptr;
    }
    EXPECT_GT(hits, 500);
    expectStreamsAndPacketsAgree(tree, literal);
}
