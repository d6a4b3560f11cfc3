// The walks in sixteen AVX-512 lanes: the packet walk, the stream walk and the wide leaf test
// instantiated for Lanes16 inside a region compiled for AVX-512F, which the walks' entry points
// enter only where the CPU has it. The headers it shares with other files come before the region,
// as in KdWalksAvx2.cpp.

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
#include "raytracing/StreamWalk.h"

void Orvanta::KdWalk::tracePacketAvx512(const KdTree& tree, Ray* rays, unsigned count)
{
    tracePacket<Lanes16>(tree, rays, count);
}

void Orvanta::KdWalk::testLeafAvx512(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    testLeafWide<Lanes16>(tree, leaf, ray);
}

void Orvanta::KdWalk::traceStreamAvx512(const KdTree& tree, Ray* rays, size_t count)
{
    walkStream<Lanes16>(tree, rays, count);
}

ORVANTA_END_TARGET()

#endif
