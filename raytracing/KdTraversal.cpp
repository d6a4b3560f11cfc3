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

// The leaf a walk has reached: from the trace nodes when the tree has them, else from leaves.
KdLeaf leafAt(const KdTree& tree, const KdNode* nodes, uint32_t node)
{
    const KdNode& n = nodes[node];
    if (nodes == tree.traceNodes.data())
        return KdLeaf{n.word0 >> 1, std::bit_cast<uint32_t>(n.word1)};
    return tree.leaves[n.leafIndex()];
}

// The node array the walks read (see KdTree::traceNodes).
const KdNode* walkNodes(const KdTree& tree)
{
    return tree.traceNodes.size() == tree.nodes.size() ? tree.traceNodes.data() : tree.nodes.data();
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
void traverseFrom(const KdTree& tree, Ray& ray, uint32_t node, StackEntry* stack, uint32_t size)
{
    const KdNode* nodes = walkNodes(tree);
    for (;;) {
        while (!nodes[node].isLeaf()) {
            const KdNode& n = nodes[node];
            const uint32_t axis = n.axis();
            const float split = n.split();
            const float d = (split - ray.origin[axis]) * ray.inverseDirection[axis];
            const uint32_t left = n.leftChild();
            const bool leftNear = split >= ray.origin[axis];
            const uint32_t nearNode = leftNear ? left : left + 1;
            const uint32_t farNode = leftNear ? left + 1 : left;
            // d is NaN only for a ray running inside the split plane; the near side holds
            // everything such a ray can reach there.
            if (!(d <= ray.tMax) || d <= 0.0f) {
                node = nearNode;
            } else if (d < ray.tMin) {
                node = farNode;
            } else {
                stack[size++] = {farNode, d, ray.tMax};
                ray.tMax = d;
                node = nearNode;
            }
        }
        intersectLeaf(tree, leafAt(tree, nodes, node), ray);
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
    traverseFrom(tree, ray, 0, stack, 0);
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
        const __m128 activeLanes = _mm_castsi128_ps(_mm_set_epi32(active & 8 ? -1 : 0, active & 4 ? -1 : 0,
                                                                  active & 2 ? -1 : 0, active & 1 ? -1 : 0));
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
            const unsigned hits = unsigned(_mm_movemask_ps(ok));
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
    void finishAlone(const KdTree& tree, unsigned r, uint32_t node, const PacketEntry* stack, uint32_t size)
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
        traverseFrom(tree, ray, node, own, count);
    }
};

inline __m128 select(__m128 mask, __m128 a, __m128 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
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
    Packet p(rays, count);
    const KdNode* nodes = walkNodes(tree);
    PacketEntry stack[kKdMaxDepth];
    uint32_t size = 0;
    uint32_t node = 0;
    unsigned active = (1u << count) - 1u;
    unsigned live = active;    // rays the shared walk still carries
    unsigned handedOver = 0;   // rays finished by the single-ray walk
    float finalMin[4] = {}, finalMax[4] = {};  // each ray's segment at its last leaf
    const __m128 zero = _mm_setzero_ps();
    for (;;) {
        while (active && !nodes[node].isLeaf()) {
            const KdNode& n = nodes[node];
            const uint32_t axis = n.axis();
            const __m128 split = _mm_set1_ps(n.split());
            const __m128 d = _mm_mul_ps(_mm_sub_ps(split, p.origin[axis]), p.inverse[axis]);
            // Per ray, as in the single walk: near child only, far child only, or both, near first.
            const unsigned leftNear = unsigned(_mm_movemask_ps(_mm_cmpge_ps(split, p.origin[axis])));
            const __m128 crosses = _mm_and_ps(_mm_cmple_ps(d, p.tMax), _mm_cmpnle_ps(d, zero));
            const __m128 before = _mm_cmplt_ps(d, p.tMin);
            const __m128 bothLanes = _mm_andnot_ps(before, crosses);
            const unsigned cross = unsigned(_mm_movemask_ps(crosses)) & active;
            const unsigned farOnly = unsigned(_mm_movemask_ps(before)) & cross;
            unsigned both = cross & ~farOnly;
            // Only rays that visit both children care about their order; those who want the other
            // order than the majority go on alone from here.
            const unsigned bothLeftFirst = both & leftNear, bothRightFirst = both & ~leftNear;
            if (bothLeftFirst && bothRightFirst) {
                const unsigned minority = __builtin_popcount(bothLeftFirst) >= __builtin_popcount(bothRightFirst)
                                              ? bothRightFirst : bothLeftFirst;
                for (unsigned r = 0; r < count; ++r)
                    if (minority & (1u << r))
                        p.finishAlone(tree, r, node, stack, size);
                live &= ~minority;
                handedOver |= minority;
                active &= ~minority;
                both &= ~minority;
                if (!active)
                    break;
            }
            const unsigned nearOnly = active & ~cross;
            const unsigned needsLeft = (nearOnly & leftNear) | (farOnly & ~leftNear) | both;
            const unsigned needsRight = (nearOnly & ~leftNear) | (farOnly & leftNear) | both;
            const bool leftFirst = both ? (both & leftNear) != 0 : true;
            const uint32_t left = n.leftChild();
            const uint32_t first = leftFirst ? left : left + 1;
            const uint32_t second = leftFirst ? left + 1 : left;
            const unsigned firstRays = (leftFirst ? needsLeft : needsRight) & active;
            const unsigned secondRays = (leftFirst ? needsRight : needsLeft) & active;
            if (secondRays == 0) {
                node = first;
            } else if (firstRays == 0) {
                node = second;
            } else {
                stack[size++] = {second, secondRays, select(bothLanes, d, p.tMin), p.tMax};
                p.tMax = select(bothLanes, d, p.tMax);
                active = firstRays;
                node = first;
            }
        }
        if (active) {
            p.intersect(tree, leafAt(tree, nodes, node), active);
            alignas(16) float lo[4], hi[4], hit[4];
            _mm_store_ps(lo, p.tMin);
            _mm_store_ps(hi, p.tMax);
            _mm_store_ps(hit, p.tHit);
            for (unsigned r = 0; r < count; ++r)
                if (active & (1u << r)) {
                    finalMin[r] = lo[r];
                    finalMax[r] = hi[r];
                    rays[r].tHit = hit[r];
                    if (hi[r] >= hit[r])
                        live &= ~(1u << r);
                }
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
    // Rays the shared walk finished keep the segment of their last leaf, as the single walk
    // leaves it; the others were finished by traverseFrom.
    for (unsigned r = 0; r < count; ++r)
        if (!(handedOver & (1u << r))) {
            rays[r].tMin = finalMin[r];
            rays[r].tMax = finalMax[r];
        }
}

#else

void traversePacket(const KdTree& tree, Ray* rays, unsigned count)
{
    for (unsigned i = 0; i < count && i < 4; ++i)
        traverse(tree, rays[i]);
}

#endif

}  // namespace Orvanta
