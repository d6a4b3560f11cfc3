// The walks in eight AVX2 lanes: the packet walk (PacketWalk.h), the stream walk (StreamWalk.h)
// and the wide leaf test instantiated for Lanes8 inside a region compiled for AVX2, which the walks'
// entry points enter only where the CPU has it.
//
// Every header the walk needs is included before the region opens, so that their inline
// functions, which other files share, are compiled for every x86-64 CPU as everywhere else; only
// the functions declared inside the region (the lane operations and the walk templates,
// instantiated for Lanes8 in this file alone) use AVX2. No product or sum is fused into a
// multiply-add (the build turns contraction off), so every lane rounds as the single walk does.

#include "content/KdTree.h"
#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"
#include "raytracing/Ray.h"
#include "raytracing/TargetRegion.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>

ORVANTA_BEGIN_TARGET("avx2")

#include "raytracing/LeafWideTest.h"
#include "raytracing/PacketLanes8.h"
#include "raytracing/PacketWalk.h"
#include "raytracing/StreamWalk.h"

void Orvanta::KdWalk::tracePacketAvx2(const KdTree& tree, Ray* rays, unsigned count)
{
    tracePacket<Lanes8>(tree, rays, count);
}

void Orvanta::KdWalk::testLeafAvx2(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    testLeafWide<Lanes8>(tree, leaf, ray);
}

void Orvanta::KdWalk::traceStreamAvx2(const KdTree& tree, Ray* rays, size_t count)
{
    walkStream<Lanes8>(tree, rays, count);
}

ORVANTA_END_TARGET()

#endif
