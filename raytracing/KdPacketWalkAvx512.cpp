// The packet walk in sixteen AVX-512 lanes: PacketWalk.h instantiated for Lanes16 inside a region
// compiled for AVX-512F, which traversePacket enters only where the CPU has it. The headers the
// walk shares with other files come before the region (see KdPacketWalkAvx2.cpp for why), and
// AVX-512F brings no fused multiply-add into code that does not ask for it.

#include "content/KdTree.h"
#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

#include "raytracing/PacketLanes16.h"
#include "raytracing/PacketWalk.h"

namespace Orvanta {

void KdWalk::tracePacketAvx512(const KdTree& tree, Ray* rays, unsigned count)
{
    tracePacket<Lanes16>(tree, rays, count > Lanes16::kWidth ? Lanes16::kWidth : count);
}

}  // namespace Orvanta

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
