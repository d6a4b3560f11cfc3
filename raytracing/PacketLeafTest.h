#pragma once
// The leaf test of the packet walk: every active ray of a packet against every triangle of a leaf.
// Only x86-64 builds include this header.

#include "content/KdTree.h"
#include "raytracing/PacketLanes.h"
#include "raytracing/Ray.h"

namespace Orvanta {

// The packet's rays as the leaf test reads and updates them, one per lane.
struct PacketRays {
    // The lanes' origins and directions on the axes k, u, v of a triangle record whose dominant
    // axis is k (see kTriAccelAxisU/V), one set per k, so that a test reads them at fixed places
    // instead of looking its axes up. axes[0] holds x, y, z in order.
    struct Axes {
        Lanes4::V origin[3];
        Lanes4::V direction[3];
    };
    Ray* rays = nullptr;
    Axes axes[3];
    Lanes4::V tHit;  // the nearest hit so far

    // Lanes past `count` hold zeros.
    void load(Ray* r, unsigned count);
    const Lanes4::V* origin() const { return axes[0].origin; }
};

// Tests the lanes in `active` (bit r for lane r) against the leaf's triangles in leaf order, with
// the float operations of intersectTriAccel, so each ray ends with the hit, distance and weights
// that testing it alone would give: a nearer hit replaces the ray's hit record and tHit.
// (Two triangles at once in eight AVX lanes was tried and was slower: assembling the pairs cost
// more than the shared arithmetic saved.)
void testLeafPacket(const KdTree& tree, const KdLeaf& leaf, unsigned active, PacketRays& packet);

}  // namespace Orvanta
