#pragma once
// The packet walk, written once over a lane type (Lanes4: SSE2, four rays; Lanes8: AVX2, eight;
// Lanes16: AVX-512, sixteen). KdTraversal.cpp instantiates it with Lanes4 for every x86-64 CPU;
// KdWalksAvx2.cpp and KdWalksAvx512.cpp with Lanes8 and Lanes16, each inside a region
// compiled for its instructions, which the packet entry point only calls on CPUs that have them.
// Everything here is a template over the lane type, so no compiled function is shared between the
// regions. Only those three files include this header.
//
// A ray gets the same hit in a packet as alone: every lane runs the single walk's decisions and
// the single triangle test's IEEE operations (no fused multiply-add, at any width).

#include "content/KdTree.h"
#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"

#include <cstddef>
#include <cstdint>

namespace Orvanta::KdWalk {

// The packet's rays as the walk and the leaf test read them, one per lane.
template <typename Lanes>
struct PacketRays {
    using V = typename Lanes::V;
    static constexpr unsigned kWidth = Lanes::kWidth;

    // The lanes' origins and directions on the axes k, u, v of a triangle record whose dominant
    // axis is k (see kTriAccelAxisU/V), one set per k, so that a test reads them at fixed places
    // instead of looking its axes up. axes[0] holds x, y, z in order.
    struct Axes {
        V origin[3];
        V direction[3];
    };
    Ray* rays = nullptr;
    Axes axes[3];
    V inverse[3];
    V tHit;  // the nearest hit so far

    // Lanes past `count` hold zeros and take no part.
    PacketRays(Ray* r, unsigned count)
    {
        rays = r;
        alignas(64) float o[3][kWidth] = {}, d[3][kWidth] = {}, inv[3][kWidth] = {}, hit[kWidth] = {};
        for (unsigned i = 0; i < count; ++i) {
            for (int a = 0; a < 3; ++a) {
                o[a][i] = r[i].origin[a];
                d[a][i] = r[i].direction[a];
                inv[a][i] = r[i].inverseDirection[a];
            }
            hit[i] = r[i].tHit;
        }
        for (uint32_t k = 0; k < 3; ++k) {
            const uint32_t order[3] = {k, kTriAccelAxisU[k], kTriAccelAxisV[k]};
            for (int a = 0; a < 3; ++a) {
                axes[k].origin[a] = Lanes::load(o[order[a]]);
                axes[k].direction[a] = Lanes::load(d[order[a]]);
            }
        }
        for (int a = 0; a < 3; ++a)
            inverse[a] = Lanes::load(inv[a]);
        tHit = Lanes::load(hit);
    }

    const V* origin() const { return axes[0].origin; }
};

// a in the lanes whose bit is set in `lanes`, b in the others.
template <typename Lanes>
typename Lanes::V selectLanes(unsigned lanes, typename Lanes::V a, typename Lanes::V b)
{
    return Lanes::select(Lanes::mask(lanes), a, b);
}

template <typename Lanes>
[[gnu::noinline]] void recordPacketHits(const KdTree& tree, const CompactTriAccel& a, uint32_t triangle, unsigned hits,
                                        typename Lanes::V beta, typename Lanes::V gamma, Ray* rays)
{
    alignas(64) float b[Lanes::kWidth], g[Lanes::kWidth];
    Lanes::store(b, beta);
    Lanes::store(g, gamma);
    for (unsigned r = 0; r < Lanes::kWidth; ++r)
        if (hits & (1u << r)) {
            rays[r].hitAccel = &a;
            rays[r].hitTriangle = &tree.geometry->triangles[triangle];
            rays[r].beta = b[r];
            rays[r].gamma = g[r];
        }
}

// The record's fields as the packet test reads them: by 16-byte rows.
static_assert(offsetof(CompactTriAccel, k) == 0 && offsetof(CompactTriAccel, nU) == 4 &&
                  offsetof(CompactTriAccel, nD) == 12 && offsetof(CompactTriAccel, betaV) == 16 &&
                  offsetof(CompactTriAccel, betaU) == 20 && offsetof(CompactTriAccel, betaD) == 24 &&
                  offsetof(CompactTriAccel, gammaU) == 32 && offsetof(CompactTriAccel, gammaV) == 36 &&
                  offsetof(CompactTriAccel, gammaD) == 40,
              "the packet test reads CompactTriAccel by rows");

// One triangle against every lane. Each lane goes through the whole test and one branch at the
// end asks whether any lane hit: the early exits of the single test would be branches that go
// either way from one triangle to the next, and their mispredictions cost more than the
// arithmetic they skip.
template <typename Lanes>
[[gnu::always_inline]] inline void testTrianglePacket(const KdTree& tree, uint32_t triangle,
                                                      typename Lanes::M activeLanes, PacketRays<Lanes>& p)
{
    using V = typename Lanes::V;
    const CompactTriAccel& a = tree.triangleAccels[triangle];
    const float* plane = reinterpret_cast<const float*>(&a);  // k, nU, nV, nD
    const float* betas = plane + 4;                           // betaV, betaU, betaD
    const float* gammas = plane + 8;                          // gammaU, gammaV, gammaD
    const typename PacketRays<Lanes>::Axes& axes = p.axes[a.k];
    const V zero = Lanes::zero(), one = Lanes::set1(1.0f);
    const V nU = Lanes::template broadcast<1>(plane), nV = Lanes::template broadcast<2>(plane);
    const V denominator = Lanes::add(Lanes::add(axes.direction[0], Lanes::mul(nU, axes.direction[1])),
                                     Lanes::mul(nV, axes.direction[2]));
    // Back faces are culled where the record is single-sided.
    const typename Lanes::M backFacing = Lanes::ge(Lanes::mul(denominator, Lanes::set1(a.normalK)), zero);
    typename Lanes::M ok = Lanes::andNot(Lanes::bitAnd(backFacing, Lanes::all(!a.doubleSided)), activeLanes);
    const V numerator = Lanes::sub(
        Lanes::sub(Lanes::sub(Lanes::template broadcast<3>(plane), axes.origin[0]), Lanes::mul(nU, axes.origin[1])),
        Lanes::mul(nV, axes.origin[2]));
    const V dist = Lanes::div(numerator, denominator);
    ok = Lanes::bitAnd(ok, Lanes::bitAnd(Lanes::ge(dist, zero), Lanes::lt(dist, p.tHit)));
    const V hu = Lanes::add(axes.origin[1], Lanes::mul(dist, axes.direction[1]));
    const V hv = Lanes::add(axes.origin[2], Lanes::mul(dist, axes.direction[2]));
    const V b = Lanes::add(Lanes::add(Lanes::mul(Lanes::template broadcast<1>(betas), hu),
                                      Lanes::mul(Lanes::template broadcast<0>(betas), hv)),
                           Lanes::template broadcast<2>(betas));
    const V g = Lanes::add(Lanes::add(Lanes::mul(Lanes::template broadcast<0>(gammas), hu),
                                      Lanes::mul(Lanes::template broadcast<1>(gammas), hv)),
                           Lanes::template broadcast<2>(gammas));
    ok = Lanes::bitAnd(ok, Lanes::bitAnd(Lanes::gt(b, zero), Lanes::gt(g, zero)));
    ok = Lanes::bitAnd(ok, Lanes::lt(Lanes::add(b, g), one));
    const unsigned hits = Lanes::bits(ok);
    if (__builtin_expect(hits == 0, 1))
        return;
    p.tHit = Lanes::select(ok, dist, p.tHit);
    recordPacketHits<Lanes>(tree, a, triangle, hits, b, g, p.rays);
}

// The lanes in `active` (bit r for lane r) against the leaf's triangles in leaf order: a nearer
// hit replaces a ray's hit record and its lane of tHit.
template <typename Lanes>
void testLeafPacket(const KdTree& tree, const KdLeaf& leaf, unsigned active, PacketRays<Lanes>& p)
{
    prefetchLeafRecords(tree, leaf);
    const uint32_t* triangles = tree.leafTriangles.data() + leaf.first;
    const typename Lanes::M activeLanes = Lanes::mask(active);
    for (uint32_t i = 0; i < leaf.count; ++i)
        testTrianglePacket<Lanes>(tree, triangles[i], activeLanes, p);
}

// One entry of the shared stack: the node to go on from (a far child, or a node whose rays wait
// to take its children in their order), which rays go there, and each ray's segment.
template <typename Lanes>
struct PacketEntry {
    uint32_t node;
    unsigned mask;
    typename Lanes::V tMin;
    typename Lanes::V tMax;
};

// The shared walk of up to Lanes::kWidth rays whose segments are already cut at the root box. At
// every node each active ray makes the single walk's choice (near child only, far child only, or
// both, near first, empty children left out as there), and the packet follows the rays. Rays that
// want both children in the other order than the rest wait: the node goes on the stack for them,
// and they come back to it, among themselves, once the others are done below it. Each ray still
// meets its leaves in its own front-to-back order, and a lane that is not active is never touched.
//
// The segment ends live in locals rather than in the packet, which the leaf test takes by
// reference: kept there, every step would store and reload them.
template <typename Lanes>
void walkPacket(const KdTree& tree, const TraceNodes nodes, Ray* rays, unsigned count)
{
    using V = typename Lanes::V;
    constexpr unsigned kWidth = Lanes::kWidth;
    constexpr unsigned kAllLanes = (1u << kWidth) - 1u;
    PacketRays<Lanes> p(rays, count);
    V tMin, tMax;
    {
        alignas(64) float lo[kWidth] = {}, hi[kWidth] = {};
        for (unsigned i = 0; i < count; ++i) {
            lo[i] = rays[i].tMin;
            hi[i] = rays[i].tMax;
        }
        tMin = Lanes::load(lo);
        tMax = Lanes::load(hi);
    }
    const V* origin = p.origin();
    // Each node on the current path holds at most two entries: its far child and its waiting rays.
    PacketEntry<Lanes> stack[2 * kKdDeepestTree];
    uint32_t size = 0;
    uint32_t node = 0;
    unsigned active = kAllLanes >> (kWidth - count);
    unsigned live = active;  // rays without a hit before their current segment ends
    const V zero = Lanes::zero();
    for (;;) {
        while (active && !nodes.isLeaf(node)) {
            const uint32_t axis = nodes.axis(node);
            const V split = Lanes::set1(nodes.split(node));
            const V d = Lanes::mul(Lanes::sub(split, origin[axis]), p.inverse[axis]);
            const unsigned leftNear = Lanes::bits(Lanes::ge(split, origin[axis]));
            const unsigned cross = Lanes::bits(Lanes::bitAnd(Lanes::le(d, tMax), Lanes::gt(d, zero))) & active;
            unsigned farOnly = Lanes::bits(Lanes::lt(d, tMin)) & cross;
            unsigned nearOnly = active & ~cross;
            unsigned both = cross & ~farOnly;
            if (both) {
                if (const uint32_t empty = nodes.emptyChildren(node)) {
                    // As in the single walk: an empty child a ray crosses into or out of is not
                    // put on the stack; the ray walks the other child's part of its segment.
                    const unsigned leftEmpty = empty & KdTraceNode::kLeftChildEmpty ? kAllLanes : 0u;
                    const unsigned rightEmpty = empty & KdTraceNode::kRightChildEmpty ? kAllLanes : 0u;
                    const unsigned nearEmpty = both & ((leftNear & leftEmpty) | (~leftNear & rightEmpty));
                    const unsigned farEmpty = both & ~nearEmpty;
                    tMin = selectLanes<Lanes>(nearEmpty, d, tMin);
                    tMax = selectLanes<Lanes>(farEmpty, d, tMax);
                    farOnly |= nearEmpty;
                    nearOnly |= farEmpty;
                    both = 0;
                }
            }
            // Only rays that visit both children care about their order; those who want the other
            // order than the majority come back to this node later.
            const unsigned bothLeftFirst = both & leftNear, bothRightFirst = both & ~leftNear;
            if (bothLeftFirst && bothRightFirst) {
                const unsigned minority = __builtin_popcount(bothLeftFirst) >= __builtin_popcount(bothRightFirst)
                                              ? bothRightFirst
                                              : bothLeftFirst;
                stack[size++] = {node, minority, tMin, tMax};
                active &= ~minority;
                both &= ~minority;
            }
            const unsigned needsLeft = (nearOnly & leftNear) | (farOnly & ~leftNear) | both;
            const unsigned needsRight = (nearOnly & ~leftNear) | (farOnly & leftNear) | both;
            const bool leftFirst = both ? (both & leftNear) != 0 : true;
            const uint32_t left = nodes.leftChild(node);
            const uint32_t first = leftFirst ? left : left + 1;
            const uint32_t second = leftFirst ? left + 1 : left;
            const unsigned firstRays = (leftFirst ? needsLeft : needsRight) & active;
            const unsigned secondRays = (leftFirst ? needsRight : needsLeft) & active;
            if (secondRays == 0) {
                node = first;
            } else if (firstRays == 0) {
                node = second;
            } else {
                stack[size++] = {second, secondRays, selectLanes<Lanes>(both, d, tMin), tMax};
                tMax = selectLanes<Lanes>(both, d, tMax);
                active = firstRays;
                node = first;
            }
        }
        if (active) {
            testLeafPacket<Lanes>(tree, nodes.leaf(node), active, p);
            live &= ~(Lanes::bits(Lanes::ge(tMax, p.tHit)) & active);
        }
        active = 0;
        while (active == 0 && size > 0) {
            const PacketEntry<Lanes>& top = stack[--size];
            active = top.mask & live;
            if (active) {
                node = top.node;
                tMin = top.tMin;
                tMax = top.tMax;
            }
        }
        if (active == 0)
            break;
    }
    alignas(64) float hit[kWidth];
    Lanes::store(hit, p.tHit);
    for (unsigned r = 0; r < count; ++r)
        rays[r].tHit = hit[r];
}

// The packet walk of up to Lanes::kWidth rays from their start values; rays past that are left
// alone.
template <typename Lanes>
void tracePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    if (count > Lanes::kWidth)
        count = Lanes::kWidth;
    for (unsigned r = 0; r < count; ++r)
        clipToRootBox(tree, rays[r]);
    walkPacket<Lanes>(tree, TraceNodes{tree.nodes.data()}, rays, count);
}

}  // namespace Orvanta::KdWalk
