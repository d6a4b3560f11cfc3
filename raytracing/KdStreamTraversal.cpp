#include "raytracing/KdTraversal.h"

#include "raytracing/KdWalkParts.h"
#include "raytracing/StreamLaneState.h"

#if defined(__x86_64__)
#include "scene/SimdLanes.h"
#endif

namespace Orvanta {

#if defined(__x86_64__)

namespace {

using namespace KdWalk;

constexpr unsigned kLanes = 4;

inline __m128 select(__m128 mask, __m128 a, __m128 b)
{
    return Lanes4::select(mask, a, b);
}

inline __m128i select(__m128i mask, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Four walks of unrelated rays, one per SIMD lane, each at its own node. Every round all lanes
// at interior nodes take one step down together, in the single walk's arithmetic; lanes at leaves
// are served one by one (StreamLaneState.h). A lane whose ray has ended takes the next ray of the
// stream.
struct StreamLanes : StreamLaneState<kLanes> {
    using StreamLaneState::StreamLaneState;

    // One step down for the lanes in `stepping`, whose nodes' words are word0/word1: the single
    // walk's choice (near child, far child, or near first with the far child kept for later, empty
    // children never kept), made with masks instead of branches.
    void step(const uint32_t word0[kLanes], const uint32_t word1[kLanes], unsigned stepping)
    {
        const __m128i one = _mm_set1_epi32(1), three = _mm_set1_epi32(3);
        const __m128i w0 = _mm_load_si128(reinterpret_cast<const __m128i*>(word0));
        const __m128 split = _mm_load_ps(reinterpret_cast<const float*>(word1));
        const __m128i axis = _mm_and_si128(_mm_srli_epi32(w0, 1), three);
        const __m128 onX = _mm_castsi128_ps(_mm_cmpeq_epi32(axis, _mm_setzero_si128()));
        const __m128 onY = _mm_castsi128_ps(_mm_cmpeq_epi32(axis, one));
        const __m128 o = select(onX, _mm_load_ps(origin[0]),
                                select(onY, _mm_load_ps(origin[1]), _mm_load_ps(origin[2])));
        const __m128 inv = select(onX, _mm_load_ps(inverse[0]),
                                  select(onY, _mm_load_ps(inverse[1]), _mm_load_ps(inverse[2])));
        const __m128 d = _mm_mul_ps(_mm_sub_ps(split, o), inv);
        const __m128 lo = _mm_load_ps(tMin), hi = _mm_load_ps(tMax);

        const __m128i leftNear = _mm_castps_si128(_mm_cmpge_ps(split, o));
        const __m128i emptyLeft = _mm_cmpeq_epi32(_mm_and_si128(_mm_srli_epi32(w0, 3), one), one);
        const __m128i emptyRight = _mm_cmpeq_epi32(_mm_and_si128(_mm_srli_epi32(w0, 4), one), one);
        const __m128 nearEmpty = _mm_castsi128_ps(select(leftNear, emptyLeft, emptyRight));
        const __m128 anyEmpty = _mm_castsi128_ps(_mm_or_si128(emptyLeft, emptyRight));
        // d is NaN only for a ray running inside the split plane: it crosses nothing.
        const __m128 crosses = _mm_and_ps(_mm_cmple_ps(d, hi), _mm_cmpgt_ps(d, _mm_setzero_ps()));
        const __m128 beforeSegment = _mm_cmplt_ps(d, lo);
        const __m128 both = _mm_andnot_ps(beforeSegment, crosses);
        const __m128 skipNear = _mm_and_ps(both, nearEmpty);
        const __m128 toFar = _mm_or_ps(_mm_and_ps(crosses, beforeSegment), skipNear);

        const __m128i left = _mm_srli_epi32(w0, 5);
        const __m128i nearOffset = _mm_andnot_si128(leftNear, one);  // 0: the left child, 1: the right
        const __m128i farNode = _mm_add_epi32(left, _mm_xor_si128(nearOffset, one));
        const __m128i nextNode = _mm_add_epi32(left,
                                               _mm_xor_si128(nearOffset, _mm_and_si128(_mm_castps_si128(toFar), one)));
        const unsigned keepFar = unsigned(_mm_movemask_ps(_mm_andnot_ps(anyEmpty, both))) & stepping;
        // Read into locals first: the stack entries could otherwise overlap them as far as the
        // compiler knows, and each write would force the next lane's values to be read again.
        alignas(16) uint32_t far[kLanes];
        alignas(16) float crossing[kLanes], segmentEnd[kLanes];
        _mm_store_si128(reinterpret_cast<__m128i*>(far), farNode);
        _mm_store_ps(crossing, d);
        _mm_store_ps(segmentEnd, hi);
        uint32_t depth[kLanes];
        for (unsigned k = 0; k < kLanes; ++k)
            depth[k] = size[k];
        for (unsigned k = 0; k < kLanes; ++k)
            stack[k][depth[k]] = {far[k], crossing[k], segmentEnd[k]};
        for (unsigned k = 0; k < kLanes; ++k)
            size[k] = depth[k] + ((keepFar >> k) & 1u);
        const __m128 moving = Lanes4::mask(stepping);
        _mm_store_ps(tMin, select(_mm_and_ps(moving, skipNear), d, lo));
        _mm_store_ps(tMax, select(_mm_and_ps(moving, _mm_andnot_ps(skipNear, both)), d, hi));
        const __m128i current = _mm_load_si128(reinterpret_cast<const __m128i*>(node));
        _mm_store_si128(reinterpret_cast<__m128i*>(node), select(_mm_castps_si128(moving), nextNode, current));
    }
};

void walkStream(const KdTree& tree, const KdTraceNode* nodes, Ray* rays, size_t count)
{
    StreamLanes lanes(tree);
    size_t next = 0;
    for (unsigned k = 0; k < kLanes && next < count; ++k)
        lanes.begin(tree, k, rays[next++]);
    while (lanes.live) {
        alignas(16) uint32_t word0[kLanes], word1[kLanes];
        unsigned atLeaves = 0;
#pragma GCC unroll 4
        for (unsigned k = 0; k < kLanes; ++k) {
            const KdTraceNode t = nodes[lanes.node[k]];  // a lane without a ray reads a node harmlessly
            word0[k] = t.word0;
            word1[k] = t.word1;
            atLeaves |= (t.word0 & 1u) << k;
        }
        atLeaves &= lanes.live;
        if (const unsigned stepping = lanes.live & ~atLeaves)
            lanes.step(word0, word1, stepping);
        for (unsigned rest = atLeaves; rest; rest &= rest - 1) {
            const unsigned k = unsigned(__builtin_ctz(rest));
            if (!lanes.atLeaf(tree, k, KdLeaf{word0[k] >> 1, word1[k]}))
                lanes.next(tree, k, rays, count, next);
        }
    }
}

}  // namespace

void traverseStream(const KdTree& tree, Ray* rays, size_t count)
{
    traverseStream(tree, rays, count, packetWidth());
}

void traverseStream(const KdTree& tree, Ray* rays, size_t count, unsigned width)
{
    if (tree.nodes.empty())
        return;
    if (!hasTraceNodes(tree)) {
        for (size_t i = 0; i < count; ++i)
            traverse(tree, rays[i]);
        return;
    }
    if (width >= 16 && packetWidth() >= 16)
        traceStreamAvx512(tree, rays, count);
    else
        walkStream(tree, tree.traceNodes.data(), rays, count);
}

#else

void traverseStream(const KdTree& tree, Ray* rays, size_t count, unsigned)
{
    for (size_t i = 0; i < count; ++i)
        traverse(tree, rays[i]);
}

void traverseStream(const KdTree& tree, Ray* rays, size_t count)
{
    traverseStream(tree, rays, count, 1);
}

#endif

}  // namespace Orvanta
