#include "raytracing/KdTraversal.h"

#include "raytracing/KdWalkParts.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__)
#include "raytracing/PacketWalk.h"
#include "scene/SimdLanes.h"
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

// The walk from the root with the ray's segment.
//
// Where the ray crosses the split, a child flagged empty is not put on the stack: from an empty
// near side only the far part of the segment is walked, and towards an empty far side the near
// part ends at the split. A ray whose segment lies wholly on an empty child's side goes on as if
// it had entered that leaf and found nothing, without reading it. The leaves with triangles and
// their order are those of the walk that enters every leaf.
void walkSingle(const KdTree& tree, const TraceNodes nodes, Ray& ray)
{
    // Built and loaded trees have no path with more than kKdDeepestTree interior nodes, and each
    // interior node pushes at most once on the way down, so the stack cannot overflow.
    StackEntry stack[kKdDeepestTree];
    uint32_t size = 0;
    uint32_t node = 0;
    for (;;) {
        bool atLeaf = true;
        while (!nodes.isLeaf(node)) {
            const uint32_t axis = nodes.axis(node);
            const float split = nodes.split(node);
            const float d = (split - ray.origin[axis]) * ray.inverseDirection[axis];
            const uint32_t left = nodes.leftChild(node);
            const bool leftNear = split >= ray.origin[axis];
            const uint32_t nearNode = leftNear ? left : left + 1;
            const uint32_t farNode = leftNear ? left + 1 : left;
            const uint32_t empty = nodes.emptyChildren(node);
            const uint32_t nearEmptyBit = leftNear ? KdTraceNode::kLeftChildEmpty : KdTraceNode::kRightChildEmpty;
            const uint32_t farEmptyBit = leftNear ? KdTraceNode::kRightChildEmpty : KdTraceNode::kLeftChildEmpty;
            // d is NaN only for a ray running inside the split plane; the near side holds
            // everything such a ray can reach there.
            if (!(d <= ray.tMax) || d <= 0.0f) {
                if (empty & nearEmptyBit) {
                    atLeaf = false;
                    break;
                }
                node = nearNode;
            } else if (d < ray.tMin) {
                if (empty & farEmptyBit) {
                    atLeaf = false;
                    break;
                }
                node = farNode;
            } else if (empty) {
                const bool nearEmpty = (empty & nearEmptyBit) != 0;
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
        if (atLeaf)
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
    clipToRootBox(tree, ray);
    walkSingle(tree, TraceNodes{tree.nodes.data()}, ray);
}

#if defined(__x86_64__)

KdWalk::WideLeafTest KdWalk::wideLeafTest()
{
    if (__builtin_cpu_supports("avx512f"))
        return testLeafAvx512;
    if (__builtin_cpu_supports("avx2"))
        return testLeafAvx2;
    return nullptr;
}

unsigned packetWidth()
{
    static const unsigned width = __builtin_cpu_supports("avx512f") ? 16u : __builtin_cpu_supports("avx2") ? 8u : 4u;
    return width;
}

void traversePacket(const KdTree& tree, Ray* rays, unsigned count, unsigned width)
{
    if (tree.nodes.empty() || count == 0)
        return;
    count = std::min(count, kMaxPacketRays);
    width = std::min(width, packetWidth());
    // The widest walk the CPU and the caller allow, and no wider than the rays need: a quarter
    // full walk costs more than the narrower ones it replaces.
    unsigned lanes = 4;
    if (width >= 16 && count > 8)
        lanes = 16;
    else if (width >= 8 && count > 4)
        lanes = 8;
    for (unsigned first = 0; first < count; first += lanes) {
        const unsigned n = std::min(lanes, count - first);
        if (lanes == 16)
            KdWalk::tracePacketAvx512(tree, rays + first, n);
        else if (lanes == 8)
            KdWalk::tracePacketAvx2(tree, rays + first, n);
        else
            KdWalk::tracePacket<Lanes4>(tree, rays + first, n);
    }
}

#else

KdWalk::WideLeafTest KdWalk::wideLeafTest()
{
    return nullptr;
}

unsigned packetWidth()
{
    return 1;
}

void traversePacket(const KdTree& tree, Ray* rays, unsigned count, unsigned)
{
    for (unsigned i = 0; i < count && i < kMaxPacketRays; ++i)
        traverse(tree, rays[i]);
}

#endif

void traversePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    traversePacket(tree, rays, count, packetWidth());
}

}  // namespace Orvanta
