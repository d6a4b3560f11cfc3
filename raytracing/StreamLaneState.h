#pragma once
// What the stream walks (KdStreamTraversal.cpp in four SSE lanes, KdStreamWalkAvx512.cpp in
// sixteen AVX-512 lanes) keep per lane, and what they do one lane at a time: start a ray, serve a
// leaf, go on from the stack. The step down is each walk's own vector code. Only those two files
// include this header.

#include "content/KdTree.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"

#include <cstddef>
#include <cstdint>

namespace Orvanta::KdWalk {

template <unsigned kLanes>
struct StreamLaneState {
    alignas(64) uint32_t node[kLanes] = {};
    alignas(64) float tMin[kLanes] = {};
    alignas(64) float tMax[kLanes] = {};
    alignas(64) float origin[3][kLanes] = {};
    alignas(64) float inverse[3][kLanes] = {};
    uint32_t size[kLanes] = {};
    uint32_t leafTurn[kLanes] = {};
    Ray* rays[kLanes] = {};
    unsigned live = 0;  // bit k: lane k walks a ray
    // Whether a lane at a leaf asks for its records rounds ahead of the test: where the leaves'
    // triangle lists and records fit a core's second-level cache (about a megabyte) they are read
    // from it at once, and rounds spent waiting would be lost.
    bool waitForLeaves = true;
    StackEntry stack[kLanes][kKdDeepestTree + 1];  // one spare: the four-lane step writes an entry, kept or not

    explicit StreamLaneState(const KdTree& tree)
        : waitForLeaves(tree.triangleAccels.size() * sizeof(TriAccel) + tree.leafTriangles.size() * 4 > (1u << 20))
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
};

}  // namespace Orvanta::KdWalk
