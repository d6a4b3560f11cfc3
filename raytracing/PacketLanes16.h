#pragma once
// Sixteen lanes of AVX-512 with the operations of Lanes4 (scene/SimdLanes.h), each the IEEE operation
// of the single-ray walk in every lane. Comparisons give a mask register (one bit per lane) rather
// than a vector, which is what the instructions produce and consume. Its functions use AVX-512F:
// include this header only inside a region compiled for it (see KdWalksAvx512.cpp), and call
// into that region only on CPUs that have it.

#include <immintrin.h>

#include <cstdint>

namespace Orvanta {

struct Lanes16 {
    using V = __m512;
    using M = __mmask16;
    static constexpr unsigned kWidth = 16;

    static V set1(float f) { return _mm512_set1_ps(f); }
    static V zero() { return _mm512_setzero_ps(); }
    static V load(const float* p) { return _mm512_load_ps(p); }
    static void store(float* p, V v) { _mm512_store_ps(p, v); }
    static V add(V a, V b) { return _mm512_add_ps(a, b); }
    static V sub(V a, V b) { return _mm512_sub_ps(a, b); }
    static V mul(V a, V b) { return _mm512_mul_ps(a, b); }
    static V div(V a, V b) { return _mm512_div_ps(a, b); }
    static M bitAnd(M a, M b) { return M(a & b); }
    static M andNot(M a, M b) { return M(~a & b); }
    // Ordered, quiet comparisons: false where either side is NaN, as the SSE2 ones.
    static M lt(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_LT_OQ); }
    static M le(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_LE_OQ); }
    static M ge(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_GE_OQ); }
    static M gt(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_GT_OQ); }
    static V select(M mask, V a, V b) { return _mm512_mask_blend_ps(mask, b, a); }
    static unsigned bits(M comparison) { return unsigned(comparison); }
    static M all(bool set) { return set ? M(0xFFFF) : M(0); }
    static M mask(unsigned lanes) { return M(lanes); }
    template <int i>
    static V broadcast(const float* row)
    {
        return _mm512_set1_ps(row[i]);
    }

    // Unsigned 32-bit lanes as a GCC vector, as Lanes4::U.
    using U = uint32_t __attribute__((vector_size(64)));
    static U loadU(const uint32_t* p) { return U(_mm512_load_si512(p)); }
    static M equalsU(U a, uint32_t n) { return _mm512_cmpeq_epi32_mask(__m512i(a), _mm512_set1_epi32(int(n))); }
    static M nonZeroU(U a) { return _mm512_test_epi32_mask(__m512i(a), __m512i(a)); }
    static U selectU(M mask, U a, U b) { return U(_mm512_mask_blend_epi32(mask, __m512i(b), __m512i(a))); }
    static V floatsOf(U a) { return V(a); }
    static U gatherU(const uint32_t* words, U offsets, unsigned lanes)
    {
        return U(_mm512_mask_i32gather_epi32(_mm512_setzero_si512(), M(lanes), __m512i(offsets), words, 4));
    }

    // For the leaf test of one ray against a lane per triangle (LeafWideTest.h).
    using I = __m512i;
    // The first `count` (at most 16) entries of p; the other lanes hold 0.
    static I loadFirst(const uint32_t* p, unsigned count) { return _mm512_maskz_loadu_epi32(firstLanes(count), p); }
    static M firstLanes(unsigned count) { return count >= 16 ? M(0xFFFF) : M((1u << count) - 1u); }
    // Lane r: the 32-bit word at words[offset[r]] in the lanes of `lanes`, 0 in the others, which
    // load nothing. (The masked form also because GCC 12 warns that the plain one reads an
    // undefined vector.)
    static V gather(const void* words, I offset, M lanes)
    {
        return _mm512_mask_i32gather_ps(_mm512_setzero_ps(), lanes, offset, words, 4);
    }
    static I times12(I a)
    {
        return _mm512_add_epi32(_mm512_maskz_slli_epi32(M(0xFFFF), a, 3), _mm512_maskz_slli_epi32(M(0xFFFF), a, 2));
    }
    static I addWords(I a, int n) { return _mm512_add_epi32(a, _mm512_set1_epi32(n)); }
    static I asInt(V a) { return _mm512_castps_si512(a); }
    static M equalsInt(I a, int n) { return _mm512_cmpeq_epi32_mask(a, _mm512_set1_epi32(n)); }
    static M nonZeroLowByte(I a) { return _mm512_test_epi32_mask(a, _mm512_set1_epi32(0xFF)); }
    static M eq(V a, V b) { return _mm512_cmp_ps_mask(a, b, _CMP_EQ_OQ); }
    // The smallest value of the lanes in `m` (which has at least one).
    static float minOf(M m, V v)
    {
        // Through memory: the reducing intrinsics read an undefined vector GCC 12 warns about, and
        // this runs only for a block with a hit.
        alignas(64) float lanes[kWidth];
        _mm512_store_ps(lanes, v);
        float least = __builtin_inff();
        for (unsigned r = 0; r < kWidth; ++r)
            if ((m >> r) & 1u)
                least = lanes[r] < least ? lanes[r] : least;
        return least;
    }
};

}  // namespace Orvanta
