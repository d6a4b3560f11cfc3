#include "raytracing/KdTraversal.h"

#include "raytracing/KdWalkParts.h"

#include <bit>

#if defined(__x86_64__)
#include "raytracing/PacketLeafTest.h"
#endif

namespace Orvanta {

Ray makeRay(const float origin[3], const float direction[3])
{
    Ray r;
    for (int a = 0; a < 3; ++a) {
        r.origin[a] = origin[a];
        r.direction[a] = direction[a];
        r.inverseDirection[a] = 1.0f / direction[a];
    }
    return r;
}

namespace {

using namespace KdWalk;

// The walk from `node` with the ray's current segment and `size` entries already on the stack.
//
// Where the ray crosses the split, a child flagged empty is not put on the stack: from an empty
// near side only the far part of the segment is walked, and towards an empty far side the near
// part ends at the split. A ray that visits an empty child only enters it and leaves at once. The
// leaves with triangles and their order are those of the walk that enters every leaf.
template <typename Nodes>
void traverseFrom(const KdTree& tree, const Nodes& nodes, Ray& ray, uint32_t node, StackEntry* stack,
                  uint32_t size)
{
    for (;;) {
        while (!nodes.isLeaf(node)) {
            const uint32_t axis = nodes.axis(node);
            const float split = nodes.split(node);
            const float d = (split - ray.origin[axis]) * ray.inverseDirection[axis];
            const uint32_t left = nodes.leftChild(node);
            const bool leftNear = split >= ray.origin[axis];
            const uint32_t nearNode = leftNear ? left : left + 1;
            const uint32_t farNode = leftNear ? left + 1 : left;
            // d is NaN only for a ray running inside the split plane; the near side holds
            // everything such a ray can reach there.
            if (!(d <= ray.tMax) || d <= 0.0f) {
                node = nearNode;
            } else if (d < ray.tMin) {
                node = farNode;
            } else if (const uint32_t empty = nodes.emptyChildren(node)) {
                const bool nearEmpty = (empty & (leftNear ? 1u : 2u)) != 0;
                if (nearEmpty) {
                    ray.tMin = d;
                    node = farNode;
                } else {
                    ray.tMax = d;
                    node = nearNode;
                }
            } else {
                stack[size++] = {farNode, d, ray.tMax};
                ray.tMax = d;
                node = nearNode;
            }
        }
        intersectLeaf(tree, nodes.leaf(node), ray);
        if (ray.tMax >= ray.tHit || size == 0)
            return;
        const StackEntry& top = stack[--size];
        node = top.node;
        ray.tMin = top.tMin;
        ray.tMax = top.tMax;
    }
}

}  // namespace

void traverse(const KdTree& tree, Ray& ray)
{
    if (tree.nodes.empty())
        return;
    // Built and loaded trees have no path with more than kKdMaxDepth interior nodes, and each
    // interior node pushes at most once on the way down, so the stack cannot overflow.
    StackEntry stack[kKdMaxDepth];
    clipToRootBox(tree, ray);
    withNodes(tree, [&](const auto& nodes) { traverseFrom(tree, nodes, ray, 0, stack, 0); });
}

#if defined(__x86_64__)

namespace {

// Four lanes, the SSE2 width every x86-64 CPU has. Eight (AVX) were tried: on the start view's
// reflection rays more lanes part ways than stay together, and the walk got slower.
using Lanes = Lanes4;

using V = Lanes::V;
constexpr unsigned kWidth = Lanes::kWidth;
constexpr unsigned kAllLanes = (1u << kWidth) - 1u;

// One entry of the shared stack: the far child, which rays go there, and each ray's segment.
struct PacketEntry {
    uint32_t node;
    unsigned mask;
    V tMin;
    V tMax;
};

inline float lane(V v, unsigned i)
{
    alignas(16) float f[kWidth];
    Lanes::store(f, v);
    return f[i];
}

inline V select(unsigned lanes, V a, V b)
{
    return Lanes::select(Lanes::mask(lanes), a, b);
}

struct Packet : PacketRays {
    V inverse[3];

    Packet(Ray* r, unsigned count)
    {
        load(r, count);
        alignas(16) float inv[3][kWidth] = {};
        for (unsigned i = 0; i < count; ++i)
            for (int a = 0; a < 3; ++a)
                inv[a][i] = r[i].inverseDirection[a];
        for (int a = 0; a < 3; ++a)
            inverse[a] = Lanes::load(inv[a]);
    }

    // Hands ray r over to the single-ray walk at `node` with its own stack: the shared entries it
    // belongs to, oldest first.
    template <typename Nodes>
    void finishAlone(const KdTree& tree, const Nodes& nodes, unsigned r, uint32_t node, const PacketEntry* stack,
                     uint32_t size, V tMin, V tMax)
    {
        StackEntry own[kKdMaxDepth];
        uint32_t count = 0;
        for (uint32_t i = 0; i < size; ++i)
            if (stack[i].mask & (1u << r))
                own[count++] = {stack[i].node, lane(stack[i].tMin, r), lane(stack[i].tMax, r)};
        Ray& ray = rays[r];
        ray.tMin = lane(tMin, r);
        ray.tMax = lane(tMax, r);
        ray.tHit = lane(tHit, r);
        traverseFrom(tree, nodes, ray, node, own, count);
    }
};

// The shared walk. At every node each active ray makes the single walk's choice (near child only,
// far child only, or both, near first, empty children left out as there); the packet follows the
// rays, and a ray that wants both children in the other order than the rest goes on alone.
//
// The segment ends live in locals rather than in the packet, which the leaf test takes by
// reference: kept there, every step would store and reload them.
template <typename Nodes>
void walkPacket(const KdTree& tree, const Nodes& treeNodes, Ray* rays, unsigned count)
{
    const Nodes nodes = treeNodes;
    Packet p(rays, count);
    V tMin, tMax;
    {
        alignas(16) float lo[kWidth] = {}, hi[kWidth] = {};
        for (unsigned i = 0; i < count; ++i) {
            lo[i] = rays[i].tMin;
            hi[i] = rays[i].tMax;
        }
        tMin = Lanes::load(lo);
        tMax = Lanes::load(hi);
    }
    const V* origin = p.origin();
    PacketEntry stack[kKdMaxDepth];
    uint32_t size = 0;
    uint32_t node = 0;
    unsigned active = kAllLanes >> (kWidth - count);
    unsigned live = active;   // rays the shared walk still carries
    unsigned handedOver = 0;  // rays finished by the single-ray walk
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
                    const unsigned leftEmpty = empty & 1u ? kAllLanes : 0u, rightEmpty = empty & 2u ? kAllLanes : 0u;
                    const unsigned nearEmpty = both & ((leftNear & leftEmpty) | (~leftNear & rightEmpty));
                    const unsigned farEmpty = both & ~nearEmpty;
                    tMin = select(nearEmpty, d, tMin);
                    tMax = select(farEmpty, d, tMax);
                    farOnly |= nearEmpty;
                    nearOnly |= farEmpty;
                    both = 0;
                }
            }
            // Only rays that visit both children care about their order; those who want the other
            // order than the majority go on alone from here.
            const unsigned bothLeftFirst = both & leftNear, bothRightFirst = both & ~leftNear;
            if (bothLeftFirst && bothRightFirst) {
                const unsigned minority = __builtin_popcount(bothLeftFirst) >= __builtin_popcount(bothRightFirst)
                                              ? bothRightFirst : bothLeftFirst;
                for (unsigned r = 0; r < count; ++r)
                    if (minority & (1u << r))
                        p.finishAlone(tree, nodes, r, node, stack, size, tMin, tMax);
                live &= ~minority;
                handedOver |= minority;
                active &= ~minority;
                both &= ~minority;
                if (!active)
                    break;
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
                stack[size++] = {second, secondRays, select(both, d, tMin), tMax};
                tMax = select(both, d, tMax);
                active = firstRays;
                node = first;
            }
        }
        if (active) {
            testLeafPacket(tree, nodes.leaf(node), active, p);
            live &= ~(Lanes::bits(Lanes::ge(tMax, p.tHit)) & active);
        }
        active = 0;
        while (active == 0 && size > 0) {
            const PacketEntry& top = stack[--size];
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
    alignas(16) float hit[kWidth];
    Lanes::store(hit, p.tHit);
    for (unsigned r = 0; r < count; ++r)
        if (!(handedOver & (1u << r)))
            rays[r].tHit = hit[r];
}

}  // namespace

void traversePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    if (tree.nodes.empty() || count == 0)
        return;
    if (count > kMaxPacketRays)
        count = kMaxPacketRays;
    for (unsigned r = 0; r < count; ++r)
        clipToRootBox(tree, rays[r]);
    withNodes(tree, [&](const auto& nodes) { walkPacket(tree, nodes, rays, count); });
}

#else

void traversePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    for (unsigned i = 0; i < count && i < kMaxPacketRays; ++i)
        traverse(tree, rays[i]);
}

#endif

}  // namespace Orvanta
