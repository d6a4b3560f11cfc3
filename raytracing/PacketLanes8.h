#pragma once
// Eight lanes of AVX2 with the operations of Lanes4 (scene/SimdLanes.h), each the IEEE operation of
// the single-ray walk in every lane. Its functions use AVX2 instructions: include this header only
// inside a region compiled for AVX2 (see KdPacketWalkAvx2.cpp), and call into that region only on
// CPUs that have it.

#include <immintrin.h>

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
};

}  // namespace Orvanta
