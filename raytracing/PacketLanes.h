#pragma once
// The vector operations the packet walk is written in: four lanes of SSE2, which every x86-64 CPU
// has. Each is the IEEE single-precision operation of the single-ray walk in every lane, so a ray
// gets the same result in a packet as alone. Only x86-64 builds include this header.

#include <immintrin.h>

namespace Orvanta {

struct Lanes4 {
    using V = __m128;
    static constexpr unsigned kWidth = 4;

    static V set1(float f) { return _mm_set1_ps(f); }
    static V zero() { return _mm_setzero_ps(); }
    static V load(const float* p) { return _mm_load_ps(p); }
    static void store(float* p, V v) { _mm_store_ps(p, v); }
    static V add(V a, V b) { return _mm_add_ps(a, b); }
    static V sub(V a, V b) { return _mm_sub_ps(a, b); }
    static V mul(V a, V b) { return _mm_mul_ps(a, b); }
    static V div(V a, V b) { return _mm_div_ps(a, b); }
    static V bitAnd(V a, V b) { return _mm_and_ps(a, b); }
    static V lt(V a, V b) { return _mm_cmplt_ps(a, b); }
    static V le(V a, V b) { return _mm_cmple_ps(a, b); }
    static V ge(V a, V b) { return _mm_cmpge_ps(a, b); }
    static V gt(V a, V b) { return _mm_cmpgt_ps(a, b); }
    // a where mask is set, b elsewhere
    static V select(V mask, V a, V b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
    // Bit r set when lane r of a comparison is true.
    static unsigned bits(V comparison) { return unsigned(_mm_movemask_ps(comparison)); }
    // All bits set in the lanes whose bit is set in `lanes`.
    static V mask(unsigned lanes)
    {
        return _mm_castsi128_ps(_mm_set_epi32(lanes & 8 ? -1 : 0, lanes & 4 ? -1 : 0, lanes & 2 ? -1 : 0,
                                              lanes & 1 ? -1 : 0));
    }
};

}  // namespace Orvanta
