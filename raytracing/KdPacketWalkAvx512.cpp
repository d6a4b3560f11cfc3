// The packet walk in sixteen AVX-512 lanes: PacketWalk.h instantiated for Lanes16 inside a region
// compiled for AVX-512F, which traversePacket enters only where the CPU has it. The headers it
// shares with other files come before the region, as in KdPacketWalkAvx2.cpp.

#include "content/KdTree.h"
#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"
#include "raytracing/TargetRegion.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>

ORVANTA_BEGIN_TARGET("avx512f")

#include "raytracing/LeafWideTest.h"
#include "raytracing/PacketLanes16.h"
#include "raytracing/PacketWalk.h"

void Orvanta::KdWalk::tracePacketAvx512(const KdTree& tree, Ray* rays, unsigned count)
{
    tracePacket<Lanes16>(tree, rays, count);
}

void Orvanta::KdWalk::testLeafAvx512(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    testLeafWide<Lanes16>(tree, leaf, ray);
}

ORVANTA_END_TARGET()

#endif
