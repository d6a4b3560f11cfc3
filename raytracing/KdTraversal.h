#pragma once
#include "content/KdTree.h"
#include "raytracing/Ray.h"

#include <cstddef>

namespace Orvanta {

// Front-to-back walk of the tree with a fixed 20-entry stack. Afterwards tHit, hitAccel,
// hitTriangle, beta and gamma describe the nearest accepted hit; tHit stays 100000 without one.
// The segment is first cut where the ray leaves the root box, beyond which nothing can be hit.
void traverse(const KdTree& tree, Ray& ray);

inline constexpr unsigned kMaxPacketRays = 4;

// Walks up to kMaxPacketRays rays together, one SIMD lane each, while they agree on which child
// of a node comes first; a ray that disagrees goes on alone from where it is. Every ray gets the hit
// traverse() would give it (same triangle, record, distance and weights), so the packet is a
// speed choice for neighbouring, similar rays and never changes a picture. The segment fields
// (tMin, tMax) are the walks' working values and are left unspecified by both.
void traversePacket(const KdTree& tree, Ray* rays, unsigned count);

// Walks `count` independent rays, several at a time and interleaved step by step, so that one
// ray's waits for memory overlap the others' work. For rays in no useful order (scattered
// bounces, samples over a sphere), which share no path and gain nothing from a packet. Every ray
// gets the hit traverse() would give it; the segment fields are left unspecified.
void traverseStream(const KdTree& tree, Ray* rays, size_t count);

}  // namespace Orvanta
