// The packet walk in eight AVX2 lanes. The walk itself is PacketWalk.h, instantiated here for
// Lanes8 inside a region compiled for AVX2; traversePacket calls in only where the CPU has AVX2.
//
// Every header the walk needs is included before the region opens, so that their inline
// functions, which other files share, are compiled for every x86-64 CPU as everywhere else; only
// the functions declared inside the region (the eight-lane operations and the walk templates,
// instantiated for Lanes8 in this file alone) use AVX2. AVX2 does not bring fused multiply-add,
// so every product and sum is rounded as in the single walk.

#include "content/KdTree.h"
#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "raytracing/PacketLanes8.h"
#include "raytracing/PacketWalk.h"

namespace Orvanta {

void KdWalk::tracePacketAvx2(const KdTree& tree, Ray* rays, unsigned count)
{
    tracePacket<Lanes8>(tree, rays, count > Lanes8::kWidth ? Lanes8::kWidth : count);
}

}  // namespace Orvanta

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
