#include "raytracing/PacketLeafTest.h"

#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"

#include <cstddef>

namespace Orvanta {

void PacketRays::load(Ray* r, unsigned count)
{
    rays = r;
    alignas(16) float o[3][Lanes4::kWidth] = {}, d[3][Lanes4::kWidth] = {}, hit[Lanes4::kWidth] = {};
    for (unsigned i = 0; i < count; ++i) {
        for (int a = 0; a < 3; ++a) {
            o[a][i] = r[i].origin[a];
            d[a][i] = r[i].direction[a];
        }
        hit[i] = r[i].tHit;
    }
    for (uint32_t k = 0; k < 3; ++k) {
        const uint32_t order[3] = {k, kTriAccelAxisU[k], kTriAccelAxisV[k]};
        for (int a = 0; a < 3; ++a) {
            axes[k].origin[a] = Lanes4::load(o[order[a]]);
            axes[k].direction[a] = Lanes4::load(d[order[a]]);
        }
    }
    tHit = Lanes4::load(hit);
}

namespace {

using Lanes = Lanes4;
using V = Lanes::V;

// The record's 16-byte rows as the test reads them.
static_assert(offsetof(TriAccel, k) == 16 && offsetof(TriAccel, nU) == 20 && offsetof(TriAccel, nD) == 28 &&
                  offsetof(TriAccel, betaV) == 32 && offsetof(TriAccel, betaU) == 36 &&
                  offsetof(TriAccel, betaD) == 40 && offsetof(TriAccel, gammaU) == 48 &&
                  offsetof(TriAccel, gammaV) == 52 && offsetof(TriAccel, gammaD) == 56,
              "the packet test reads TriAccel by rows");

[[gnu::noinline]] void recordHits(const KdTree& tree, const TriAccel& a, uint32_t triangle, unsigned hits, V beta,
                                  V gamma, Ray* rays)
{
    alignas(16) float b[4], g[4];
    Lanes::store(b, beta);
    Lanes::store(g, gamma);
    for (unsigned r = 0; r < 4; ++r)
        if (hits & (1u << r)) {
            rays[r].hitAccel = &a;
            rays[r].hitTriangle = &tree.geometry->triangles[triangle];
            rays[r].beta = b[r];
            rays[r].gamma = g[r];
        }
}

// One triangle against the four lanes. Every lane goes through the whole test and one branch at
// the end asks whether any lane hit: the early exits of the single test would be branches that
// go either way from one triangle to the next, and their mispredictions cost more than the
// arithmetic they skip. The record's numbers come in three 16-byte loads and are spread over the
// lanes from there.
[[gnu::always_inline]] inline void testTriangle(const KdTree& tree, uint32_t triangle, V activeLanes, PacketRays& p)
{
    const TriAccel& a = tree.triangleAccels[triangle];
    const float* row = reinterpret_cast<const float*>(&a);
    const V plane = Lanes::load(row + 4);   // k, nU, nV, nD
    const V betas = Lanes::load(row + 8);   // betaV, betaU, betaD
    const V gammas = Lanes::load(row + 12); // gammaU, gammaV, gammaD
    const PacketRays::Axes& axes = p.axes[a.k];
    const V zero = Lanes::zero(), one = Lanes::set1(1.0f);
    const V nU = Lanes::broadcast<1>(plane), nV = Lanes::broadcast<2>(plane);
    const V denominator = Lanes::add(Lanes::add(axes.direction[0], Lanes::mul(nU, axes.direction[1])),
                                     Lanes::mul(nV, axes.direction[2]));
    // Back faces: culled where the record is single-sided.
    const V backFacing = Lanes::ge(Lanes::mul(denominator, Lanes::set1(a.normal[a.k])), zero);
    const V singleSided = _mm_castsi128_ps(_mm_set1_epi32(a.doubleSided ? 0 : -1));
    V ok = _mm_andnot_ps(Lanes::bitAnd(backFacing, singleSided), activeLanes);
    const V numerator = Lanes::sub(
        Lanes::sub(Lanes::sub(Lanes::broadcast<3>(plane), axes.origin[0]), Lanes::mul(nU, axes.origin[1])),
        Lanes::mul(nV, axes.origin[2]));
    const V dist = Lanes::div(numerator, denominator);
    ok = Lanes::bitAnd(ok, Lanes::bitAnd(Lanes::ge(dist, zero), Lanes::lt(dist, p.tHit)));
    const V hu = Lanes::add(axes.origin[1], Lanes::mul(dist, axes.direction[1]));
    const V hv = Lanes::add(axes.origin[2], Lanes::mul(dist, axes.direction[2]));
    const V b = Lanes::add(Lanes::add(Lanes::mul(Lanes::broadcast<1>(betas), hu), Lanes::mul(Lanes::broadcast<0>(betas), hv)),
                           Lanes::broadcast<2>(betas));
    const V g = Lanes::add(Lanes::add(Lanes::mul(Lanes::broadcast<0>(gammas), hu), Lanes::mul(Lanes::broadcast<1>(gammas), hv)),
                           Lanes::broadcast<2>(gammas));
    ok = Lanes::bitAnd(ok, Lanes::bitAnd(Lanes::gt(b, zero), Lanes::gt(g, zero)));
    ok = Lanes::bitAnd(ok, Lanes::lt(Lanes::add(b, g), one));
    const unsigned hits = Lanes::bits(ok);
    if (__builtin_expect(hits == 0, 1))
        return;
    p.tHit = Lanes::select(ok, dist, p.tHit);
    recordHits(tree, a, triangle, hits, b, g, p.rays);
}

}  // namespace

void testLeafPacket(const KdTree& tree, const KdLeaf& leaf, unsigned active, PacketRays& packet)
{
    KdWalk::prefetchLeafRecords(tree, leaf);
    const uint32_t* triangles = tree.leafTriangles.data() + leaf.first;
    const V activeLanes = Lanes::mask(active);
    for (uint32_t i = 0; i < leaf.count; ++i)
        testTriangle(tree, triangles[i], activeLanes, packet);
}

}  // namespace Orvanta
