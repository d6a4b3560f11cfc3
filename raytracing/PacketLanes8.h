#pragma once
// Eight lanes of AVX2 with the operations of Lanes4 (scene/SimdLanes.h), each the IEEE operation of
// the single-ray walk in every lane. Its functions use AVX2 instructions: include this header only
// inside a region compiled for AVX2 (see KdWalksAvx2.cpp), and call into that region only on
// CPUs that have it.

#include <immintrin.h>

#include <cstdint>

namespace Orvanta {

struct Lanes8 {
    using V = __m256;
    using M = __m256;
    static constexpr unsigned kWidth = 8;

    static V set1(float f) { return _mm256_set1_ps(f); }
    static V zero() { return _mm256_setzero_ps(); }
    static V load(const float* p) { return _mm256_load_ps(p); }
    static void store(float* p, V v) { _mm256_store_ps(p, v); }
    static V add(V a, V b) { return _mm256_add_ps(a, b); }
    static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
    static V mul(V a, V b) { return _mm256_mul_ps(a, b); }
    static V div(V a, V b) { return _mm256_div_ps(a, b); }
    static V bitAnd(V a, V b) { return _mm256_and_ps(a, b); }
    static V andNot(V a, V b) { return _mm256_andnot_ps(a, b); }
    // Ordered, quiet comparisons: false where either side is NaN, as the SSE2 ones.
    static V lt(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_LT_OQ); }
    static V le(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }
    static V ge(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_GE_OQ); }
    static V gt(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_GT_OQ); }
    static V select(V mask, V a, V b) { return _mm256_blendv_ps(b, a, mask); }
    static unsigned bits(V comparison) { return unsigned(_mm256_movemask_ps(comparison)); }
    static V all(bool set) { return _mm256_castsi256_ps(_mm256_set1_epi32(set ? -1 : 0)); }
    // Lane r tests bit r of `lanes`.
    static V mask(unsigned lanes)
    {
        const __m256i bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
        return _mm256_castsi256_ps(_mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(int(lanes)), bit), bit));
    }
    template <int i>
    static V broadcast(const float* row)
    {
        return _mm256_broadcast_ss(row + i);
    }

    // Unsigned 32-bit lanes as a GCC vector, as Lanes4::U.
    using U = uint32_t __attribute__((vector_size(32)));
    static U loadU(const uint32_t* p) { return U(_mm256_load_si256(reinterpret_cast<const __m256i*>(p))); }
    static M equalsU(U a, uint32_t n) { return M(a == n); }
    static M nonZeroU(U a) { return M(a != 0u); }
    static U selectU(M mask, U a, U b) { return U(select(mask, V(a), V(b))); }
    static V floatsOf(U a) { return V(a); }
    static U gatherU(const uint32_t* words, U offsets, unsigned lanes)
    {
        return U(_mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(words),
                                             __m256i(offsets), _mm256_castps_si256(mask(lanes)), 4));
    }

    // For the leaf test of one ray against a lane per triangle (LeafWideTest.h).
    using I = __m256i;
    // The first `count` (at most 8) entries of p; the other lanes hold 0.
    static I loadFirst(const uint32_t* p, unsigned count)
    {
        return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), _mm256_castps_si256(firstLanes(count)));
    }
    static M firstLanes(unsigned count) { return mask(count >= 8 ? 0xFFu : (1u << count) - 1u); }
    // Lane r: the 32-bit word at words[offset[r]] in the lanes of `lanes`, 0 in the others, which
    // load nothing.
    static V gather(const void* words, I offset, M lanes)
    {
        return _mm256_mask_i32gather_ps(_mm256_setzero_ps(), static_cast<const float*>(words), offset, lanes, 4);
    }
    static I times12(I a) { return _mm256_add_epi32(_mm256_slli_epi32(a, 3), _mm256_slli_epi32(a, 2)); }
    static I addWords(I a, int n) { return _mm256_add_epi32(a, _mm256_set1_epi32(n)); }
    static I asInt(V a) { return _mm256_castps_si256(a); }
    static M equalsInt(I a, int n) { return _mm256_castsi256_ps(_mm256_cmpeq_epi32(a, _mm256_set1_epi32(n))); }
    static M nonZeroLowByte(I a)
    {
        const __m256i low = _mm256_and_si256(a, _mm256_set1_epi32(0xFF));
        return _mm256_castsi256_ps(
            _mm256_xor_si256(_mm256_cmpeq_epi32(low, _mm256_setzero_si256()), _mm256_set1_epi32(-1)));
    }
    static M eq(V a, V b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
    // The smallest value of the lanes in `m` (which has at least one).
    static float minOf(M m, V v)
    {
        V x = select(m, v, _mm256_set1_ps(__builtin_inff()));
        x = _mm256_min_ps(x, _mm256_permute2f128_ps(x, x, 1));
        x = _mm256_min_ps(x, _mm256_shuffle_ps(x, x, _MM_SHUFFLE(1, 0, 3, 2)));
        x = _mm256_min_ps(x, _mm256_shuffle_ps(x, x, _MM_SHUFFLE(2, 3, 0, 1)));
        return _mm256_cvtss_f32(x);
    }
};

}  // namespace Orvanta
