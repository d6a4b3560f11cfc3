#pragma once
// Pieces shared by the walks of KdTraversal.h: how a walk reads nodes and leaves, the leaf test,
// and the cut of a ray's segment at the root box. Only the walks' own files include this.

#include "content/KdTree.h"
#include "raytracing/Ray.h"
#include "raytracing/TriAccelHit.h"

#include <cstdint>

namespace Orvanta::KdWalk {

struct StackEntry {
    uint32_t node;
    float tMin;
    float tMax;
};

// The tree's nodes as the walks read them: leaves in place, empty children flagged in their parent.
struct TraceNodes {
    const KdTraceNode* nodes;

    bool isLeaf(uint32_t i) const { return nodes[i].isLeaf(); }
    uint32_t axis(uint32_t i) const { return nodes[i].axis(); }
    float split(uint32_t i) const { return nodes[i].split(); }
    uint32_t leftChild(uint32_t i) const { return nodes[i].leftChild(); }
    uint32_t emptyChildren(uint32_t i) const { return nodes[i].emptyChildren(); }
    KdLeaf leaf(uint32_t i) const { return KdTree::leafOf(nodes[i]); }
};

// The eight- and sixteen-lane packet walks (KdWalksAvx2.cpp, KdWalksAvx512.cpp) of up
// to that many rays from their start values. They run AVX2 and AVX-512 instructions: call them only
// where packetWidth() is at least 8 and 16.
void tracePacketAvx2(const KdTree& tree, Ray* rays, unsigned count);
void tracePacketAvx512(const KdTree& tree, Ray* rays, unsigned count);

// One ray against a leaf's triangles, eight or sixteen at a time (LeafWideTest.h), with the hit
// the scalar loop below gives. The same conditions on the CPU as the packet walks.
void testLeafAvx2(const KdTree& tree, const KdLeaf& leaf, Ray& ray);
void testLeafAvx512(const KdTree& tree, const KdLeaf& leaf, Ray& ray);

// The stream walk of KdTraversal.h (StreamWalk.h) in eight and sixteen lanes, under the same
// conditions on the CPU as the packet walks.
void traceStreamAvx2(const KdTree& tree, Ray* rays, size_t count);
void traceStreamAvx512(const KdTree& tree, Ray* rays, size_t count);

using WideLeafTest = void (*)(const KdTree&, const KdLeaf&, Ray&);

// The widest leaf test the CPU has, or null without AVX2.
WideLeafTest wideLeafTest();

// Leaves with at least this many triangles take the wide test, where there is one: from two
// triangles on, the scalar test's mispredicted early exits cost more than the gathers.
inline constexpr uint32_t kWideLeafTriangles = 2;

// Asks for the cache line holding p. GCC treats __builtin_prefetch as free of side effects and
// deletes a loop that does nothing else (as it did with the leaf prefetch below, unnoticed, in
// every walk); the volatile instruction cannot be deleted.
inline void prefetchLine(const void* p)
{
#if defined(__x86_64__)
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    __builtin_prefetch(p);
#endif
}

// Asks for a leaf's intersection records ahead of their test. They are rarely in cache (megabytes
// of them, reached in no order); asking for all of them first lets their loads overlap instead of
// waiting for each in turn.
inline void prefetchLeafRecords(const KdTree& tree, const KdLeaf& leaf)
{
    const uint32_t* indices = tree.leafTriangles.data() + leaf.first;
    const CompactTriAccel* accels = tree.triangleAccels.data();
    for (uint32_t i = 0; i < leaf.count; ++i)
        prefetchLine(accels + indices[i]);
}

// The ray against every triangle of the leaf, in leaf order; a nearer hit replaces the ray's.
[[gnu::always_inline]] inline void testLeaf(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    static const WideLeafTest wide = wideLeafTest();
    // The gathers address a record by its first word's 32-bit offset: 2^27 records at most.
    if (leaf.count >= kWideLeafTriangles && wide && tree.triangleAccels.size() < (size_t(1) << 27)) {
        wide(tree, leaf, ray);
        return;
    }
    const uint32_t* indices = tree.leafTriangles.data() + leaf.first;
    const CompactTriAccel* accels = tree.triangleAccels.data();
    for (uint32_t i = 0; i < leaf.count; ++i) {
        float t, beta, gamma;
        const CompactTriAccel& a = accels[indices[i]];
        if (intersectTriAccel(a, ray.origin, ray.direction, ray.tHit, t, beta, gamma)) {
            ray.tHit = t;
            ray.hitAccel = &a;
            ray.hitTriangle = &tree.geometry->triangles[indices[i]];
            ray.beta = beta;
            ray.gamma = gamma;
        }
    }
}

[[gnu::always_inline]] inline void intersectLeaf(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    prefetchLeafRecords(tree, leaf);
    testLeaf(tree, leaf, ray);
}

// Every triangle lies inside the root box (the box is their bounds), so no hit lies beyond the
// point where the ray leaves it. The segment is cut there, with a margin far above the rounding of
// any hit distance: this only spares the splits the ray would go on crossing outside the box, and
// the nearest hit stays what it was. A ray that never leaves (NaN from a zero direction component
// on a box face) keeps its segment.
inline void clipToRootBox(const KdTree& tree, Ray& ray)
{
    if (tree.nodes.empty())
        return;
    const KdNodeBox& box = tree.rootBox;
    const float lo[3] = {box.boxMin.x, box.boxMin.y, box.boxMin.z};
    const float hi[3] = {box.boxMax.x, box.boxMax.y, box.boxMax.z};
    float exit = ray.tMax;
    for (int a = 0; a < 3; ++a) {
        const float t0 = (lo[a] - ray.origin[a]) * ray.inverseDirection[a];
        const float t1 = (hi[a] - ray.origin[a]) * ray.inverseDirection[a];
        const float leaves = t0 > t1 ? t0 : t1;
        if (leaves < exit)
            exit = leaves;
    }
    if (!(exit > 0.0f))
        exit = 0.0f;  // the box is behind the ray: nothing can be hit
    const float clipped = exit * 1.0001f + 1e-3f;
    if (clipped < ray.tMax)
        ray.tMax = clipped;
}

}  // namespace Orvanta::KdWalk
