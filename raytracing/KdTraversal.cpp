#include "raytracing/KdTraversal.h"

#include "raytracing/TriAccelHit.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
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

struct StackEntry {
    uint32_t node;
    float tMin;
    float tMax;
};

// The derived nodes: leaves read in place, empty children flagged in their parent.
struct TraceNodes {
    const KdTraceNode* nodes;

    bool isLeaf(uint32_t i) const { return nodes[i].isLeaf(); }
    uint32_t axis(uint32_t i) const { return nodes[i].axis(); }
    float split(uint32_t i) const { return nodes[i].split(); }
    uint32_t leftChild(uint32_t i) const { return nodes[i].leftChild(); }
    uint32_t emptyChildren(uint32_t i) const { return nodes[i].emptyChildren(); }
    KdLeaf leaf(uint32_t i) const { return KdLeaf{nodes[i].first(), nodes[i].count()}; }
};

// The stored nodes and the leaf table, for a tree without derived nodes: no child is known to be
// empty, so the walk enters every leaf it reaches.
struct StoredNodes {
    const KdNode* nodes;
    const KdLeaf* leaves;

    bool isLeaf(uint32_t i) const { return nodes[i].isLeaf(); }
    uint32_t axis(uint32_t i) const { return nodes[i].axis(); }
    float split(uint32_t i) const { return nodes[i].split(); }
    uint32_t leftChild(uint32_t i) const { return nodes[i].leftChild(); }
    uint32_t emptyChildren(uint32_t) const { return 0; }
    KdLeaf leaf(uint32_t i) const { return leaves[nodes[i].leafIndex()]; }
};

// Calls walk(nodes) with the node reading the tree has (see KdTree::traceNodes).
template <typename Walk>
void withNodes(const KdTree& tree, Walk walk)
{
    if (!tree.nodes.empty() && tree.traceNodes.size() == tree.nodes.size())
        walk(TraceNodes{tree.traceNodes.data()});
    else
        walk(StoredNodes{tree.nodes.data(), tree.leaves.data()});
}

void intersectLeaf(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    const uint32_t* indices = tree.leafTriangles.data() + leaf.first;
    const TriAccel* accels = tree.triangleAccels.data();
    // The records are rarely in cache (megabytes of them, reached in no order); asking for all of
    // them first lets their loads overlap instead of waiting for each in turn.
    for (uint32_t i = 0; i < leaf.count; ++i)
        __builtin_prefetch(&accels[indices[i]]);
    for (uint32_t i = 0; i < leaf.count; ++i) {
        float t, beta, gamma;
        const TriAccel& a = accels[indices[i]];
        if (intersectTriAccel(a, ray.origin, ray.direction, ray.tHit, t, beta, gamma)) {
            ray.tHit = t;
            ray.hitAccel = &a;
            ray.hitTriangle = &tree.geometry->triangles[indices[i]];
            ray.beta = beta;
            ray.gamma = gamma;
        }
    }
}

// Every triangle lies inside the root box (the box is their bounds), so no hit lies beyond the
// point where the ray leaves it. The segment is cut there, with a margin far above the rounding of
// any hit distance: this only spares the splits the ray would go on crossing outside the box, and
// the nearest hit stays what it was. A ray that never leaves (NaN from a zero direction component
// on a box face) keeps its segment.
void clipToRootBox(const KdTree& tree, Ray& ray)
{
    if (tree.nodeBoxes.empty())
        return;
    const KdNodeBox& box = tree.nodeBoxes[0];
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

// The walk from `node` with the ray's current segment and `size` entries already on the stack.
//
// An empty child is never entered: where the ray would only visit it, the walk goes on as after
// an empty leaf (the end-of-leaf test, then the stack); where the ray crosses from it into a
// non-empty sibling, only the sibling's part of the segment is walked. The leaves tested and their
// order are those of the walk that enters every leaf, so the nearest hit is the same.
template <typename Nodes>
void traverseFrom(const KdTree& tree, const Nodes& nodes, Ray& ray, uint32_t node, StackEntry* stack,
                  uint32_t size)
{
    for (;;) {
        bool atLeaf = true;
        while (!nodes.isLeaf(node)) {
            const uint32_t axis = nodes.axis(node);
            const float split = nodes.split(node);
            const float d = (split - ray.origin[axis]) * ray.inverseDirection[axis];
            const uint32_t nearSide = split >= ray.origin[axis] ? 0u : 1u;  // 0: the left child
            const uint32_t nearNode = nodes.leftChild(node) + nearSide;
            const uint32_t farNode = nodes.leftChild(node) + (nearSide ^ 1u);
            const uint32_t empty = nodes.emptyChildren(node);
            const bool nearEmpty = (empty >> nearSide) & 1u, farEmpty = (empty >> (nearSide ^ 1u)) & 1u;
            // d is NaN only for a ray running inside the split plane; the near side holds
            // everything such a ray can reach there.
            if (!(d <= ray.tMax) || d <= 0.0f) {
                atLeaf = !nearEmpty;
                node = nearNode;
            } else if (d < ray.tMin) {
                atLeaf = !farEmpty;
                node = farNode;
            } else if (nearEmpty && (farEmpty || d >= ray.tHit)) {
                // Leaving the empty near side ends the walk as that leaf would, when the far side
                // is empty too or the hit already lies before the split.
                ray.tMax = farEmpty ? ray.tMax : d;
                atLeaf = false;
            } else if (nearEmpty) {
                ray.tMin = d;
                node = farNode;
            } else if (farEmpty) {
                ray.tMax = d;
                node = nearNode;
            } else {
                stack[size++] = {farNode, d, ray.tMax};
                ray.tMax = d;
                node = nearNode;
            }
            if (!atLeaf)
                break;
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
    // Built and loaded trees have no path with more than kKdMaxDepth interior nodes, and each
    // interior node pushes at most once on the way down, so the stack cannot overflow.
    StackEntry stack[kKdMaxDepth];
    clipToRootBox(tree, ray);
    withNodes(tree, [&](const auto& nodes) { traverseFrom(tree, nodes, ray, 0, stack, 0); });
}

#if defined(__SSE2__)

namespace {

// One entry of the shared stack: the far child, which rays go there, and each ray's segment.
struct PacketEntry {
    uint32_t node;
    unsigned mask;
    __m128 tMin;
    __m128 tMax;
};

inline float lane(__m128 v, unsigned i)
{
    alignas(16) float f[4];
    _mm_store_ps(f, v);
    return f[i];
}

inline unsigned lanesOf(__m128 comparison)
{
    return unsigned(_mm_movemask_ps(comparison));
}

// All bits set in the lanes of `mask` (bit r for lane r), clear elsewhere.
inline __m128 laneMask(unsigned mask)
{
    return _mm_castsi128_ps(_mm_set_epi32(mask & 8 ? -1 : 0, mask & 4 ? -1 : 0, mask & 2 ? -1 : 0, mask & 1 ? -1 : 0));
}

inline __m128 select(unsigned mask, __m128 a, __m128 b)
{
    const __m128 m = laneMask(mask);
    return _mm_or_ps(_mm_and_ps(m, a), _mm_andnot_ps(m, b));
}

struct Packet {
    Ray* rays;
    __m128 origin[3];
    __m128 direction[3];
    __m128 inverse[3];
    __m128 tMin, tMax, tHit;

    explicit Packet(Ray* r, unsigned count) : rays(r)
    {
        alignas(16) float o[3][4] = {}, d[3][4] = {}, inv[3][4] = {}, lo[4] = {}, hi[4] = {}, hit[4] = {};
        for (unsigned i = 0; i < count; ++i) {
            for (int a = 0; a < 3; ++a) {
                o[a][i] = r[i].origin[a];
                d[a][i] = r[i].direction[a];
                inv[a][i] = r[i].inverseDirection[a];
            }
            lo[i] = r[i].tMin;
            hi[i] = r[i].tMax;
            hit[i] = r[i].tHit;
        }
        for (int a = 0; a < 3; ++a) {
            origin[a] = _mm_load_ps(o[a]);
            direction[a] = _mm_load_ps(d[a]);
            inverse[a] = _mm_load_ps(inv[a]);
        }
        tMin = _mm_load_ps(lo);
        tMax = _mm_load_ps(hi);
        tHit = _mm_load_ps(hit);
    }

    // The leaf test of every active ray against every triangle, in leaf order, with the same
    // float operations as intersectTriAccel (so the same hits, distances and weights).
    void intersect(const KdTree& tree, const KdLeaf& leaf, unsigned active)
    {
        const uint32_t* indices = tree.leafTriangles.data() + leaf.first;
        const TriAccel* accels = tree.triangleAccels.data();
        const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
        const __m128 activeLanes = laneMask(active);
        for (uint32_t i = 0; i < leaf.count; ++i)
            __builtin_prefetch(&accels[indices[i]]);  // as in the single walk: let the loads overlap
        for (uint32_t i = 0; i < leaf.count; ++i) {
            const TriAccel& a = accels[indices[i]];
            const uint32_t k = a.k, u = kTriAccelAxisU[k], v = kTriAccelAxisV[k];
            const __m128 nU = _mm_set1_ps(a.nU), nV = _mm_set1_ps(a.nV);
            const __m128 denominator =
                _mm_add_ps(_mm_add_ps(direction[k], _mm_mul_ps(nU, direction[u])), _mm_mul_ps(nV, direction[v]));
            __m128 ok = activeLanes;
            if (!a.doubleSided)
                ok = _mm_and_ps(ok, _mm_cmplt_ps(_mm_mul_ps(denominator, _mm_set1_ps(a.normal[k])), zero));
            const __m128 numerator = _mm_sub_ps(
                _mm_sub_ps(_mm_sub_ps(_mm_set1_ps(a.nD), origin[k]), _mm_mul_ps(nU, origin[u])),
                _mm_mul_ps(nV, origin[v]));
            const __m128 dist = _mm_div_ps(numerator, denominator);
            ok = _mm_and_ps(ok, _mm_and_ps(_mm_cmpge_ps(dist, zero), _mm_cmplt_ps(dist, tHit)));
            if (!_mm_movemask_ps(ok))
                continue;
            const __m128 hu = _mm_add_ps(origin[u], _mm_mul_ps(dist, direction[u]));
            const __m128 hv = _mm_add_ps(origin[v], _mm_mul_ps(dist, direction[v]));
            const __m128 b = _mm_add_ps(
                _mm_add_ps(_mm_mul_ps(_mm_set1_ps(a.betaU), hu), _mm_mul_ps(_mm_set1_ps(a.betaV), hv)),
                _mm_set1_ps(a.betaD));
            const __m128 g = _mm_add_ps(
                _mm_add_ps(_mm_mul_ps(_mm_set1_ps(a.gammaU), hu), _mm_mul_ps(_mm_set1_ps(a.gammaV), hv)),
                _mm_set1_ps(a.gammaD));
            ok = _mm_and_ps(ok, _mm_and_ps(_mm_cmpgt_ps(b, zero), _mm_cmpgt_ps(g, zero)));
            ok = _mm_and_ps(ok, _mm_cmplt_ps(_mm_add_ps(b, g), one));
            const unsigned hits = lanesOf(ok);
            if (!hits)
                continue;
            tHit = _mm_or_ps(_mm_and_ps(ok, dist), _mm_andnot_ps(ok, tHit));
            for (unsigned r = 0; r < 4; ++r)
                if (hits & (1u << r)) {
                    rays[r].hitAccel = &a;
                    rays[r].hitTriangle = &tree.geometry->triangles[indices[i]];
                    rays[r].beta = lane(b, r);
                    rays[r].gamma = lane(g, r);
                }
        }
    }

    // Hands ray r over to the single-ray walk at `node` with its own stack: the shared entries it
    // belongs to, oldest first.
    template <typename Nodes>
    void finishAlone(const KdTree& tree, const Nodes& nodes, unsigned r, uint32_t node, const PacketEntry* stack,
                     uint32_t size)
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
template <typename Nodes>
void walkPacket(const KdTree& tree, const Nodes& nodes, Ray* rays, unsigned count)
{
    Packet p(rays, count);
    PacketEntry stack[kKdMaxDepth];
    uint32_t size = 0;
    uint32_t node = 0;
    unsigned active = (1u << count) - 1u;
    unsigned live = active;   // rays the shared walk still carries
    unsigned handedOver = 0;  // rays finished by the single-ray walk
    const __m128 zero = _mm_setzero_ps();
    for (;;) {
        while (active && !nodes.isLeaf(node)) {
            const uint32_t axis = nodes.axis(node);
            const __m128 split = _mm_set1_ps(nodes.split(node));
            const __m128 d = _mm_mul_ps(_mm_sub_ps(split, p.origin[axis]), p.inverse[axis]);
            const unsigned leftNear = lanesOf(_mm_cmpge_ps(split, p.origin[axis]));
            const unsigned cross = lanesOf(_mm_and_ps(_mm_cmple_ps(d, p.tMax), _mm_cmpnle_ps(d, zero))) & active;
            unsigned farOnly = lanesOf(_mm_cmplt_ps(d, p.tMin)) & cross;
            unsigned nearOnly = active & ~cross;
            unsigned both = cross & ~farOnly;
            if (const uint32_t empty = nodes.emptyChildren(node)) {
                const unsigned leftEmpty = empty & 1u ? 15u : 0u, rightEmpty = empty & 2u ? 15u : 0u;
                const unsigned nearEmpty = (leftNear & leftEmpty) | (~leftNear & rightEmpty);
                const unsigned farEmpty = (leftNear & rightEmpty) | (~leftNear & leftEmpty);
                const unsigned stop = (nearOnly & nearEmpty) | (farOnly & farEmpty) | (both & nearEmpty & farEmpty);
                const unsigned skipNear = both & nearEmpty & ~farEmpty, skipFar = both & farEmpty & ~nearEmpty;
                const unsigned hitBeforeSplit = skipNear & lanesOf(_mm_cmpge_ps(d, p.tHit));
                // As in the single walk: a ray stopping here ends when its segment reaches its hit.
                live &= ~((stop & lanesOf(_mm_cmpge_ps(p.tMax, p.tHit))) | hitBeforeSplit);
                p.tMin = select(skipNear & ~hitBeforeSplit, d, p.tMin);
                p.tMax = select(skipFar, d, p.tMax);
                nearOnly = (nearOnly & ~stop) | skipFar;
                farOnly = (farOnly & ~stop) | (skipNear & ~hitBeforeSplit);
                both &= ~(nearEmpty | farEmpty);
                active = nearOnly | farOnly | both;
                if (!active)
                    break;
            }
            // Only rays that visit both children care about their order; those who want the other
            // order than the majority go on alone from here.
            const unsigned bothLeftFirst = both & leftNear, bothRightFirst = both & ~leftNear;
            if (bothLeftFirst && bothRightFirst) {
                const unsigned minority = __builtin_popcount(bothLeftFirst) >= __builtin_popcount(bothRightFirst)
                                              ? bothRightFirst : bothLeftFirst;
                for (unsigned r = 0; r < count; ++r)
                    if (minority & (1u << r))
                        p.finishAlone(tree, nodes, r, node, stack, size);
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
                stack[size++] = {second, secondRays, select(both, d, p.tMin), p.tMax};
                p.tMax = select(both, d, p.tMax);
                active = firstRays;
                node = first;
            }
        }
        if (active) {
            p.intersect(tree, nodes.leaf(node), active);
            live &= ~(lanesOf(_mm_cmpge_ps(p.tMax, p.tHit)) & active);
        }
        active = 0;
        while (active == 0 && size > 0) {
            const PacketEntry& top = stack[--size];
            active = top.mask & live;
            if (active) {
                node = top.node;
                p.tMin = top.tMin;
                p.tMax = top.tMax;
            }
        }
        if (active == 0)
            break;
    }
    alignas(16) float hit[4];
    _mm_store_ps(hit, p.tHit);
    for (unsigned r = 0; r < count; ++r)
        if (!(handedOver & (1u << r)))
            rays[r].tHit = hit[r];
}

}  // namespace

void traversePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    if (tree.nodes.empty() || count == 0)
        return;
    if (count > 4)
        count = 4;
    for (unsigned r = 0; r < count; ++r)
        clipToRootBox(tree, rays[r]);
    withNodes(tree, [&](const auto& nodes) { walkPacket(tree, nodes, rays, count); });
}

#else

void traversePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    for (unsigned i = 0; i < count && i < 4; ++i)
        traverse(tree, rays[i]);
}

#endif

}  // namespace Orvanta
