#pragma once
// The stream walk, written once over a lane type (Lanes4: SSE2, four rays in flight; Lanes8: AVX2,
// eight; Lanes16: AVX-512, sixteen), as the packet walk is (PacketWalk.h). KdStreamTraversal.cpp
// instantiates it with Lanes4 for every x86-64 CPU, KdWalksAvx2.cpp and KdWalksAvx512.cpp with
// Lanes8 and Lanes16 inside their regions; only those three files include this header.
//
// Each lane walks its own, unrelated ray, at its own node. Every round the lanes at interior nodes
// take one step down together (the single walk's choice made with masks instead of branches, in its
// arithmetic, so each ray gets its hit); the lanes at leaves are served one by one. A lane whose ray
// has ended takes the next ray of the stream. With many rays in flight the wait for one ray's node
// is covered by the other rays' steps, and one step's instructions serve every lane.

#include "content/KdTree.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"

#include <cstddef>
#include <cstdint>

namespace Orvanta::KdWalk {

// A field of the lanes' node words (see KdTraceNode), lane by lane.
template <typename U>
U fieldOf(U words, KdWordField field)
{
    return (words >> field.shift) & field.mask;
}

template <typename Lanes>
struct StreamLanes {
    using V = typename Lanes::V;
    using U = typename Lanes::U;
    static constexpr unsigned kWidth = Lanes::kWidth;

    alignas(64) uint32_t node[kWidth] = {};
    alignas(64) float tMin[kWidth] = {};
    alignas(64) float tMax[kWidth] = {};
    alignas(64) float origin[3][kWidth] = {};
    alignas(64) float inverse[3][kWidth] = {};
    uint32_t size[kWidth] = {};
    uint32_t leafTurn[kWidth] = {};
    Ray* rays[kWidth] = {};
    unsigned live = 0;  // bit k: lane k walks a ray
    // Whether a lane at a leaf asks for its records rounds ahead of the test: where the leaves'
    // triangle lists and records fit a core's second-level cache (about a megabyte) they are read
    // from it at once, and rounds spent waiting would be lost.
    bool waitForLeaves = true;
    StackEntry stack[kWidth][kKdDeepestTree];

    explicit StreamLanes(const KdTree& tree)
        : waitForLeaves(tree.triangleAccels.size() * sizeof(CompactTriAccel) + tree.leafTriangles.size() * 4 >
                        (1u << 20))
    {
    }

    void begin(const KdTree& tree, unsigned k, Ray& ray)
    {
        clipToRootBox(tree, ray);
        rays[k] = &ray;
        live |= 1u << k;
        node[k] = 0;
        size[k] = 0;
        leafTurn[k] = 0;
        tMin[k] = ray.tMin;
        tMax[k] = ray.tMax;
        for (int a = 0; a < 3; ++a) {
            origin[a][k] = ray.origin[a];
            inverse[a][k] = ray.inverseDirection[a];
        }
    }

    // Lane k after a leaf: false when its ray has ended, else it goes on with the top of its stack.
    bool leave(unsigned k)
    {
        if (tMax[k] >= rays[k]->tHit || size[k] == 0)
            return false;
        const StackEntry& top = stack[k][--size[k]];
        node[k] = top.node;
        tMin[k] = top.tMin;
        tMax[k] = top.tMax;
        return true;
    }

    // One round of lane k at its leaf; false when the lane's ray has ended. Where it waits for
    // leaves, a leaf with triangles takes the lane three rounds: the first asks for the leaf's
    // triangle list, the second for the records it names, the third tests them, by which time the
    // other lanes' steps have covered most of the wait for memory.
    bool atLeaf(const KdTree& tree, unsigned k, const KdLeaf& leaf)
    {
        if (waitForLeaves && leaf.count != 0 && leafTurn[k] == 0) {
            prefetchLine(&tree.leafTriangles[leaf.first]);
            leafTurn[k] = 1;
            return true;
        }
        if (waitForLeaves && leaf.count != 0 && leafTurn[k] == 1) {
            prefetchLeafRecords(tree, leaf);
            leafTurn[k] = 2;
            return true;
        }
        leafTurn[k] = 0;
        testLeaf(tree, leaf, *rays[k]);
        return leave(k);
    }

    // Lane k's ray has ended: the lane takes the next ray of the stream, or stops.
    void next(const KdTree& tree, unsigned k, Ray* stream, size_t count, size_t& taken)
    {
        if (taken < count)
            begin(tree, k, stream[taken++]);
        else
            live &= ~(1u << k);
    }

    // One step down for the lanes in `stepping`, whose nodes' words are word0/word1: the single
    // walk's choice (near child, far child, or near first with the far child kept for later, empty
    // children never kept). Returns the lanes whose segment went wholly to an empty child: as in
    // the single walk they do not read it, and go on as after a leaf without hits (see leave()).
    unsigned step(U word0, U word1, unsigned stepping)
    {
        const U axis = fieldOf(word0, KdTraceNode::kAxis);
        const typename Lanes::M onX = Lanes::equalsU(axis, 0), onY = Lanes::equalsU(axis, 1);
        const V split = Lanes::floatsOf(word1);
        const V o = Lanes::select(onX, Lanes::load(origin[0]),
                                  Lanes::select(onY, Lanes::load(origin[1]), Lanes::load(origin[2])));
        const V inv = Lanes::select(onX, Lanes::load(inverse[0]),
                                    Lanes::select(onY, Lanes::load(inverse[1]), Lanes::load(inverse[2])));
        const V d = Lanes::mul(Lanes::sub(split, o), inv);
        const V lo = Lanes::load(tMin), hi = Lanes::load(tMax);

        const unsigned leftNear = Lanes::bits(Lanes::ge(split, o));
        const unsigned leftEmpty = Lanes::bits(Lanes::nonZeroU(fieldOf(word0, KdTraceNode::kLeftEmpty)));
        const unsigned rightEmpty = Lanes::bits(Lanes::nonZeroU(fieldOf(word0, KdTraceNode::kRightEmpty)));
        const unsigned nearEmpty = (leftNear & leftEmpty) | (~leftNear & rightEmpty);
        const unsigned farEmpty = (leftNear & rightEmpty) | (~leftNear & leftEmpty);
        // d is NaN only for a ray running inside the split plane: it crosses nothing.
        const unsigned crosses = Lanes::bits(Lanes::bitAnd(Lanes::le(d, hi), Lanes::gt(d, Lanes::zero())));
        const unsigned beforeSegment = Lanes::bits(Lanes::lt(d, lo));
        const unsigned both = crosses & ~beforeSegment;
        const unsigned skipNear = both & nearEmpty;  // walks the far part of its segment only
        const unsigned toFar = (crosses & beforeSegment) | skipNear;
        const unsigned intoEmpty = stepping & ((~crosses & nearEmpty) | (crosses & beforeSegment & farEmpty));

        // The near child is the left one where leftNear, the far one the other; a lane takes the
        // right child where it goes to the far side of a left-near split or the near side of the
        // other.
        const U left = fieldOf(word0, KdTraceNode::kLeftChild);
        const U toRight = Lanes::selectU(Lanes::mask(~(leftNear ^ toFar)), U{} + 1u, U{});
        if (unsigned keepFar = stepping & both & ~(leftEmpty | rightEmpty)) {
            alignas(64) float crossing[kWidth], segmentEnd[kWidth];
            Lanes::store(crossing, d);
            Lanes::store(segmentEnd, hi);
            for (; keepFar; keepFar &= keepFar - 1) {
                const unsigned k = unsigned(__builtin_ctz(keepFar));
                stack[k][size[k]++] = {left[k] + ((leftNear >> k) & 1u), crossing[k], segmentEnd[k]};
            }
        }
        Lanes::store(tMin, Lanes::select(Lanes::mask(stepping & skipNear), d, lo));
        Lanes::store(tMax, Lanes::select(Lanes::mask(stepping & both & ~skipNear), d, hi));
        const U current = Lanes::loadU(node);
        const U moved = Lanes::selectU(Lanes::mask(stepping), left + toRight, current);
        __builtin_memcpy(node, &moved, sizeof node);
        return intoEmpty;
    }
};

// Walks `count` rays, kWidth at a time in flight, each to the hit traverse() gives it.
template <typename Lanes>
void walkStream(const KdTree& tree, Ray* rays, size_t count)
{
    using U = typename Lanes::U;
    constexpr unsigned kWidth = Lanes::kWidth;
    StreamLanes<Lanes> lanes(tree);
    const uint32_t* words = reinterpret_cast<const uint32_t*>(tree.nodes.data());
    static_assert(sizeof(KdTraceNode) == 2 * sizeof(uint32_t), "a node is two words");
    size_t next = 0;
    for (unsigned k = 0; k < kWidth && next < count; ++k)
        lanes.begin(tree, k, rays[next++]);
    while (lanes.live) {
        // Only the lanes with a ray read their node.
        const U at = Lanes::loadU(lanes.node) * 2u;
        const U word0 = Lanes::gatherU(words, at, lanes.live);
        const U word1 = Lanes::gatherU(words, at + 1u, lanes.live);
        const unsigned atLeaves = Lanes::bits(Lanes::nonZeroU(fieldOf(word0, KdTraceNode::kLeafFlag))) & lanes.live;
        unsigned intoEmpty = 0;
        if (const unsigned stepping = lanes.live & ~atLeaves)
            intoEmpty = lanes.step(word0, word1, stepping);
        for (; intoEmpty; intoEmpty &= intoEmpty - 1) {
            const unsigned k = unsigned(__builtin_ctz(intoEmpty));
            if (!lanes.leave(k))
                lanes.next(tree, k, rays, count, next);
        }
        for (unsigned rest = atLeaves; rest; rest &= rest - 1) {
            const unsigned k = unsigned(__builtin_ctz(rest));
            const KdTraceNode leaf{word0[k], word1[k]};
            if (!lanes.atLeaf(tree, k, KdLeaf{leaf.first(), leaf.count()}))
                lanes.next(tree, k, rays, count, next);
        }
    }
}

}  // namespace Orvanta::KdWalk
