#pragma once
#include "content/KdTree.h"
#include "raytracing/Ray.h"

#include <cstddef>

namespace Orvanta {

// Front-to-back walk of the tree with a fixed stack of kKdDeepestTree entries. Afterwards tHit, hitAccel,
// hitTriangle, beta and gamma describe the nearest accepted hit; tHit stays 100000 without one.
// The segment is first cut where the ray leaves the root box, beyond which nothing can be hit.
void traverse(const KdTree& tree, Ray& ray);

inline constexpr unsigned kMaxPacketRays = 16;

// The most rays one shared walk carries on this CPU: 16 where it has AVX-512F, 8 where it has
// AVX2, 4 on any other x86-64 CPU (SSE2), 1 elsewhere (packets are walked ray by ray).
unsigned packetWidth();

// Walks up to kMaxPacketRays rays together, one SIMD lane each. Where rays disagree on which child
// of a node comes first, the smaller group waits and walks that node after the others. Every ray
// gets the hit traverse() would give it (same triangle, record, distance and weights), so the packet
// is a speed choice for neighbouring, similar rays and never changes a picture. The segment fields
// (tMin, tMax) are the walks' working values and are left unspecified by both.
//
// A CPU with fewer lanes walks the rays in consecutive groups of its width (0-7 and 8-15, or
// 0-3, 4-7, ...), so callers put neighbours together in each half and quarter. Rays fewer than
// half a width take the narrower walk.
void traversePacket(const KdTree& tree, Ray* rays, unsigned count);

// traversePacket with at most `width` lanes per walk: 16, 8, or 4 for anything below 8; more than
// packetWidth() is taken as packetWidth(). The tests walk the same rays at every width the CPU has.
void traversePacket(const KdTree& tree, Ray* rays, unsigned count, unsigned width);

// Walks `count` independent rays, several at a time and interleaved step by step, so that one
// ray's waits for memory overlap the others' work. For rays in no useful order (scattered
// bounces, samples over a sphere), which share no path and gain nothing from a packet. Every ray
// gets the hit traverse() would give it; the segment fields are left unspecified.
void traverseStream(const KdTree& tree, Ray* rays, size_t count);

// traverseStream with at most `width` rays in flight: 16 (AVX-512F), 8 (AVX2), or 4 for anything
// below; more than packetWidth() is taken as packetWidth(). The tests walk the same rays at every
// width the CPU has.
void traverseStream(const KdTree& tree, Ray* rays, size_t count, unsigned width);

}  // namespace Orvanta
