#pragma once
#include "scene/Math.h"

#include <cstddef>
#include <cstdint>

namespace Orvanta {

// A triangle prepared for the projection-based ray test: the plane is stored relative to the
// dominant axis k of the normal, and the barycentric weights of the second (beta) and third (gamma)
// vertex are linear functions of the point projected onto the two other axes u, v.
struct alignas(16) TriAccel {
    float normal[3];
    uint8_t doubleSided;
    uint8_t unused0[3];
    uint32_t k;
    float nU, nV, nD;
    float betaV, betaU, betaD;
    uint32_t unused1;
    float gammaU, gammaV, gammaD;
    uint32_t unused2;
};
static_assert(sizeof(TriAccel) == 64, "TriAccel is one 64-byte record");
static_assert(offsetof(TriAccel, k) == 16 && offsetof(TriAccel, betaV) == 32 && offsetof(TriAccel, gammaU) == 48,
              "TriAccel field offsets are part of the tree file");

// The (u, v) axis pair for each dominant axis k.
inline constexpr uint32_t kTriAccelAxisU[3] = {1, 2, 0};
inline constexpr uint32_t kTriAccelAxisV[3] = {2, 0, 1};

// Builds the record for triangle a, b, c. A triangle without area (or one so small that its plane
// data is not finite) gets a record whose barycentric rows are constant -1, so no ray, whatever
// its values, ever passes the test against it; its normal is zero.
TriAccel computeTriAccel(Float3 a, Float3 b, Float3 c, uint8_t doubleSided);

// True when the record came from a triangle without area.
bool isDegenerateTriAccel(const TriAccel& accel);

// The record as the tree keeps it in memory and the ray tests read it: TriAccel's test fields in
// three 16-byte rows without its padding, 48 bytes instead of 64, and of the normal only its
// dominant component N_k (whose sign tells the front face). The whole normal follows from the
// plane row (faceNormalOf). The file keeps TriAccel records, which a triangle's corners give again.
struct alignas(16) CompactTriAccel {
    uint32_t k;
    float nU, nV, nD;
    float betaV, betaU, betaD;
    float normalK;
    float gammaU, gammaV, gammaD;
    uint32_t doubleSided;  // 0 or 1
};
static_assert(sizeof(CompactTriAccel) == 48, "CompactTriAccel is three 16-byte rows");

CompactTriAccel compactTriAccel(const TriAccel& accel);

// The unit normal of the record's triangle as its corners wind: N_k as stored, the other two
// components from the plane row (N_u = nU * N_k, N_v = nV * N_k), which are N's own to within a
// unit in the last place. Zero for a triangle without area.
Float3 faceNormalOf(const CompactTriAccel& accel);

}  // namespace Orvanta
