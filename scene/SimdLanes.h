#pragma once
// Four lanes of SSE2, which every x86-64 CPU has, and the vector operations the kd-tree's build
// and walks are written in. Each is the IEEE single-precision operation of the scalar code in
// every lane, so a value computed four at a time is the value computed alone. Comparisons give a
// lane mask M, here a vector with all bits set in the lanes where they hold. The wider packet
// walks have the same operations in eight and sixteen lanes (raytracing/PacketLanes8.h,
// PacketLanes16.h). Only x86-64 builds include this header.

#include <immintrin.h>

#include <cstdint>

namespace Orvanta {

struct Lanes4 {
    using V = __m128;
    using M = __m128;
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
    // b where a is clear
    static V andNot(V a, V b) { return _mm_andnot_ps(a, b); }
    static V lt(V a, V b) { return _mm_cmplt_ps(a, b); }
    static V le(V a, V b) { return _mm_cmple_ps(a, b); }
    static V ge(V a, V b) { return _mm_cmpge_ps(a, b); }
    static V gt(V a, V b) { return _mm_cmpgt_ps(a, b); }
    // a where mask is set, b elsewhere
    static V select(V mask, V a, V b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
    // Bit r set when lane r of a comparison is true.
    static unsigned bits(V comparison) { return unsigned(_mm_movemask_ps(comparison)); }
    // Every bit set in every lane when `set`, else none.
    static V all(bool set) { return _mm_castsi128_ps(_mm_set1_epi32(set ? -1 : 0)); }
    // All bits set in the lanes whose bit is set in `lanes` (0 to 15): one load from a table, where
    // building the mask from the bits takes a score of instructions on a walk's busiest path.
    static V mask(unsigned lanes) { return _mm_load_ps(reinterpret_cast<const float*>(kMasks[lanes & 15u])); }
    // row[i] in every lane; row is 16-byte aligned. Loads of the same row merge into one, and each
    // field then costs one shuffle.
    template <int i>
    static V broadcast(const float* row)
    {
        const V v = _mm_load_ps(row);
        return _mm_shuffle_ps(v, v, _MM_SHUFFLE(i, i, i, i));
    }

    // Unsigned 32-bit lanes (node words in the stream walk), as a GCC vector: shifts, masks and sums
    // written for one uint32_t apply to it lane by lane, and lane r reads as u[r].
    using U = uint32_t __attribute__((vector_size(16)));
    static U loadU(const uint32_t* p) { return U(_mm_load_si128(reinterpret_cast<const __m128i*>(p))); }
    static M equalsU(U a, uint32_t n) { return M(a == n); }
    static M nonZeroU(U a) { return M(a != 0u); }
    static U selectU(M mask, U a, U b) { return U(select(mask, V(a), V(b))); }
    // The lanes' bits read as floats.
    static V floatsOf(U a) { return V(a); }
    // Lane r: words[offsets[r]] in the lanes of `lanes`, 0 in the others, which load nothing.
    static U gatherU(const uint32_t* words, U offsets, unsigned lanes)
    {
        U out = {};
        for (unsigned rest = lanes & 15u; rest; rest &= rest - 1) {
            const unsigned r = unsigned(__builtin_ctz(rest));
            out[r] = words[offsets[r]];
        }
        return out;
    }

private:
    static constexpr int kAll = -1;
    alignas(16) static constexpr int kMasks[16][4] = {
        {0, 0, 0, 0},       {kAll, 0, 0, 0},       {0, kAll, 0, 0},       {kAll, kAll, 0, 0},
        {0, 0, kAll, 0},    {kAll, 0, kAll, 0},    {0, kAll, kAll, 0},    {kAll, kAll, kAll, 0},
        {0, 0, 0, kAll},    {kAll, 0, 0, kAll},    {0, kAll, 0, kAll},    {kAll, kAll, 0, kAll},
        {0, 0, kAll, kAll}, {kAll, 0, kAll, kAll}, {0, kAll, kAll, kAll}, {kAll, kAll, kAll, kAll},
    };
};

}  // namespace Orvanta
