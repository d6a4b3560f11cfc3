#include "raytracing/KdTraversal.h"

#include "raytracing/KdWalkParts.h"

#include <bit>

namespace Orvanta {

namespace {

using namespace KdWalk;

// How many walks run interleaved. Four keep enough loads in flight to cover most of a cache
// miss; more lanes gained nothing on the scene's scattered rays.
constexpr unsigned kStreamLanes = 4;

// a when which is 1, b when it is 0, without a branch.
inline float pick(uint32_t which, float a, float b)
{
    const uint32_t mask = 0u - which;
    return std::bit_cast<float>((std::bit_cast<uint32_t>(a) & mask) | (std::bit_cast<uint32_t>(b) & ~mask));
}

// One ray's walk in progress. At a leaf with triangles it spends two turns asking for memory while
// the other lanes step on: on the first it asks for the leaf's triangle list, on the second for
// the records the list names, and it tests them on the third. (Waiting more turns was slower.)
struct StreamLane {
    Ray* ray;
    uint32_t node;
    uint32_t size;
    uint32_t leafTurn;
    float tMin, tMax;
    StackEntry stack[kKdMaxDepth + 1];  // each step writes an entry, whether it keeps it or not

    void begin(const KdTree& tree, Ray& r)
    {
        clipToRootBox(tree, r);
        ray = &r;
        node = 0;
        size = 0;
        leafTurn = 0;
        tMin = r.tMin;
        tMax = r.tMax;
    }

    // One step down from the interior node t: the single walk's choice (see traverseFrom in
    // KdTraversal.cpp), made without branches. A walk of scattered rays mostly guesses wrong at a
    // branch here, and each wrong guess would also throw away the other lanes' work in flight.
    void step(const KdTraceNode t)
    {
        const uint32_t axis = t.axis();
        const float split = t.split(), origin = ray->origin[axis];
        const float d = (split - origin) * ray->inverseDirection[axis];
        const uint32_t nearSide = split >= origin ? 0u : 1u;  // 0: the left child
        const uint32_t left = t.leftChild();
        const uint32_t empty = t.emptyChildren();
        const uint32_t nearEmpty = (empty >> nearSide) & 1u, farEmpty = (empty >> (nearSide ^ 1u)) & 1u;
        // Bitwise operators, so that the compiler does not turn the choice back into branches.
        const uint32_t crosses = uint32_t(d <= tMax) & uint32_t(d > 0.0f);
        const uint32_t beforeSegment = uint32_t(d < tMin);
        const uint32_t both = crosses & (beforeSegment ^ 1u);
        const uint32_t skipNear = both & nearEmpty;
        stack[size] = {left + (nearSide ^ 1u), d, tMax};
        size += both & ((nearEmpty | farEmpty) ^ 1u);
        tMin = pick(skipNear, d, tMin);
        tMax = pick(both & (skipNear ^ 1u), d, tMax);
        node = left + (nearSide ^ ((crosses & beforeSegment) | skipNear));
    }

    // One turn at the leaf t; false when the ray's walk has ended.
    bool atLeaf(const KdTree& tree, const KdTraceNode t)
    {
        const KdLeaf leaf{t.first(), t.count()};
        if (leaf.count != 0 && leafTurn == 0) {
            __builtin_prefetch(&tree.leafTriangles[leaf.first]);
            leafTurn = 1;
            return true;
        }
        if (leaf.count != 0 && leafTurn == 1) {
            prefetchLeafRecords(tree, leaf);
            leafTurn = 2;
            return true;
        }
        leafTurn = 0;
        testLeaf(tree, leaf, *ray);
        if (tMax >= ray->tHit || size == 0)
            return false;
        const StackEntry& top = stack[--size];
        node = top.node;
        tMin = top.tMin;
        tMax = top.tMax;
        return true;
    }
};

void walkStream(const KdTree& tree, const KdTraceNode* nodes, Ray* rays, size_t count)
{
    StreamLane lanes[kStreamLanes];
    size_t next = 0;
    unsigned live = 0;
    while (live < kStreamLanes && next < count)
        lanes[live++].begin(tree, rays[next++]);
    while (live > 0) {
        for (unsigned k = 0; k < live; ++k) {
            StreamLane& lane = lanes[k];
            const KdTraceNode t = nodes[lane.node];
            if (!t.isLeaf()) {
                lane.step(t);
            } else if (!lane.atLeaf(tree, t)) {
                if (next < count) {
                    lane.begin(tree, rays[next++]);
                } else {
                    lane = lanes[--live];  // the last lane takes this one's place
                    --k;
                }
            }
        }
    }
}

}  // namespace

void traverseStream(const KdTree& tree, Ray* rays, size_t count)
{
    if (tree.nodes.empty())
        return;
    if (tree.traceNodes.size() != tree.nodes.size()) {
        for (size_t i = 0; i < count; ++i)
            traverse(tree, rays[i]);
        return;
    }
    walkStream(tree, tree.traceNodes.data(), rays, count);
}

}  // namespace Orvanta
