// The stream walk in sixteen AVX-512 lanes: sixteen unrelated rays, one per lane, each at its own
// node. Every round the lanes at interior nodes take one step down together (their nodes read with
// one gather per word, the single walk's choice made with masks); the lanes at leaves are served
// one by one. A lane whose ray has ended takes the next ray of the stream. With sixteen rays in
// flight the wait for one ray's node is covered by the other rays' steps, and one step's
// instructions serve up to sixteen rays, so a walk that reads its nodes from the cache and one
// that waits for memory both gain. The four-lane walk of KdStreamTraversal.cpp serves CPUs without
// AVX-512; the headers come before the region, as in KdPacketWalkAvx2.cpp.

#include "content/KdTree.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"
#include "raytracing/StreamLaneState.h"
#include "raytracing/TargetRegion.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>

ORVANTA_BEGIN_TARGET("avx512f")

namespace Orvanta::KdWalk {
namespace {

constexpr unsigned kLanes = 16;

struct StreamLanes16 : StreamLaneState<kLanes> {
    using StreamLaneState::StreamLaneState;

    // One step down for the lanes in `stepping`, whose nodes' words are w0/w1: the single walk's
    // choice (near child, far child, or near first with the far child kept for later, empty
    // children never kept), made with masks instead of branches. Returns the lanes whose segment
    // went wholly to an empty child: as in the single walk they do not read it, and go on as after
    // a leaf without hits (see leave()).
    unsigned step(__m512i w0, __m512i w1, __mmask16 stepping)
    {
        const __m512i one = _mm512_set1_epi32(1), three = _mm512_set1_epi32(3);
        const __m512 split = _mm512_castsi512_ps(w1);
        const __m512i axis = _mm512_and_si512(_mm512_maskz_srli_epi32(__mmask16(0xFFFF), w0, 1), three);
        const __mmask16 onX = _mm512_cmpeq_epi32_mask(axis, _mm512_setzero_si512());
        const __mmask16 onY = _mm512_cmpeq_epi32_mask(axis, one);
        const __m512 o = _mm512_mask_blend_ps(
            onX, _mm512_mask_blend_ps(onY, _mm512_load_ps(origin[2]), _mm512_load_ps(origin[1])),
            _mm512_load_ps(origin[0]));
        const __m512 inv = _mm512_mask_blend_ps(
            onX, _mm512_mask_blend_ps(onY, _mm512_load_ps(inverse[2]), _mm512_load_ps(inverse[1])),
            _mm512_load_ps(inverse[0]));
        const __m512 d = _mm512_mul_ps(_mm512_sub_ps(split, o), inv);
        const __m512 lo = _mm512_load_ps(tMin), hi = _mm512_load_ps(tMax);

        const __mmask16 leftNear = _mm512_cmp_ps_mask(split, o, _CMP_GE_OQ);
        const __mmask16 emptyLeft = _mm512_test_epi32_mask(w0, _mm512_set1_epi32(8));
        const __mmask16 emptyRight = _mm512_test_epi32_mask(w0, _mm512_set1_epi32(16));
        const __mmask16 nearEmpty = __mmask16((leftNear & emptyLeft) | (~leftNear & emptyRight));
        const __mmask16 anyEmpty = __mmask16(emptyLeft | emptyRight);
        // d is NaN only for a ray running inside the split plane: it crosses nothing.
        const __mmask16 crosses = __mmask16(_mm512_cmp_ps_mask(d, hi, _CMP_LE_OQ) &
                                            _mm512_cmp_ps_mask(d, _mm512_setzero_ps(), _CMP_GT_OQ));
        const __mmask16 beforeSegment = _mm512_cmp_ps_mask(d, lo, _CMP_LT_OQ);
        const __mmask16 both = __mmask16(crosses & ~beforeSegment);
        const __mmask16 skipNear = __mmask16(both & nearEmpty);
        const __mmask16 toFar = __mmask16((crosses & beforeSegment) | skipNear);
        const __mmask16 farEmpty = __mmask16((leftNear & emptyRight) | (~leftNear & emptyLeft));
        const unsigned intoEmpty = unsigned(stepping & ((~crosses & nearEmpty) | (crosses & beforeSegment & farEmpty)));

        const __m512i left = _mm512_maskz_srli_epi32(__mmask16(0xFFFF), w0, 5);
        // The near child is left + nearOffset; the far one the other.
        const __m512i nearOffset = _mm512_mask_blend_epi32(leftNear, one, _mm512_setzero_si512());
        const __m512i farNode = _mm512_add_epi32(left, _mm512_xor_si512(nearOffset, one));
        const __m512i toFarBit = _mm512_mask_blend_epi32(toFar, _mm512_setzero_si512(), one);
        const __m512i nextNode = _mm512_add_epi32(left, _mm512_xor_si512(nearOffset, toFarBit));
        unsigned keepFar = unsigned(both & ~anyEmpty & stepping);
        if (keepFar) {
            alignas(64) uint32_t far[kLanes];
            alignas(64) float crossing[kLanes], segmentEnd[kLanes];
            _mm512_store_si512(far, farNode);
            _mm512_store_ps(crossing, d);
            _mm512_store_ps(segmentEnd, hi);
            for (; keepFar; keepFar &= keepFar - 1) {
                const unsigned k = unsigned(__builtin_ctz(keepFar));
                stack[k][size[k]++] = {far[k], crossing[k], segmentEnd[k]};
            }
        }
        _mm512_store_ps(tMin, _mm512_mask_blend_ps(__mmask16(stepping & skipNear), lo, d));
        _mm512_store_ps(tMax, _mm512_mask_blend_ps(__mmask16(stepping & both & ~skipNear), hi, d));
        const __m512i current = _mm512_load_si512(node);
        _mm512_store_si512(node, _mm512_mask_blend_epi32(stepping, current, nextNode));
        return intoEmpty;
    }
};

}  // namespace

void traceStreamAvx512(const KdTree& tree, Ray* rays, size_t count)
{
    StreamLanes16 lanes(tree);
    const uint32_t* words = reinterpret_cast<const uint32_t*>(tree.traceNodes.data());
    size_t next = 0;
    for (unsigned k = 0; k < kLanes && next < count; ++k)
        lanes.begin(tree, k, rays[next++]);
    while (lanes.live) {
        // Only the lanes with a ray read their node.
        const __m512i at = _mm512_maskz_slli_epi32(__mmask16(0xFFFF), _mm512_load_si512(lanes.node), 1);
        const __m512i w0 = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), __mmask16(lanes.live), at, words, 4);
        const __m512i w1 = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), __mmask16(lanes.live),
                                                       _mm512_add_epi32(at, _mm512_set1_epi32(1)), words, 4);
        const unsigned atLeaves = unsigned(_mm512_test_epi32_mask(w0, _mm512_set1_epi32(1))) & lanes.live;
        unsigned intoEmpty = 0;
        if (const unsigned stepping = lanes.live & ~atLeaves)
            intoEmpty = lanes.step(w0, w1, __mmask16(stepping));
        for (; intoEmpty; intoEmpty &= intoEmpty - 1) {
            const unsigned k = unsigned(__builtin_ctz(intoEmpty));
            if (!lanes.leave(k))
                lanes.next(tree, k, rays, count, next);
        }
        if (!atLeaves)
            continue;
        alignas(64) uint32_t word0[kLanes], word1[kLanes];
        _mm512_store_si512(word0, w0);
        _mm512_store_si512(word1, w1);
        for (unsigned rest = atLeaves; rest; rest &= rest - 1) {
            const unsigned k = unsigned(__builtin_ctz(rest));
            if (!lanes.atLeaf(tree, k, KdLeaf{word0[k] >> 1, word1[k]}))
                lanes.next(tree, k, rays, count, next);
        }
    }
}

}  // namespace Orvanta::KdWalk

ORVANTA_END_TARGET()

#endif
