#pragma once
// One ray against a leaf's triangles a lane per triangle (Lanes8: eight at a time in AVX2;
// Lanes16: sixteen in AVX-512), for leaves too large for the one-triangle-at-a-time test to be
// cheap: the test's early exits are branches that go either way from one triangle to the next,
// and a large leaf pays a misprediction for most of its triangles. Included only inside the
// target regions of KdWalksAvx2.cpp and KdWalksAvx512.cpp, like PacketWalk.h.
//
// The records are gathered field by field from the tree's shared array, only for the lanes that
// have a triangle. Every lane runs the scalar
// test's IEEE operations in its order (intersectTriAccel in TriAccelHit.h; no multiply-add is
// fused), so each triangle gets the distance and weights the scalar test gives it. Of the lanes
// that pass, the nearest wins and, among equal distances, the first in leaf order: the scalar
// loop keeps a hit only when strictly nearer than the one before, so it ends on that same one.

#include "content/KdTree.h"
#include "content/KdTriAccel.h"
#include "raytracing/Ray.h"

#include <cstddef>
#include <cstdint>

namespace Orvanta::KdWalk {

// The record's fields as 32-bit word offsets from its start, which the gathers read.
template <size_t kOffset>
inline constexpr int kWordAt = int(kOffset / 4);
static_assert(sizeof(CompactTriAccel) == 12 * 4, "the wide leaf test addresses records as 12 words");

template <typename Lanes>
void testLeafWide(const KdTree& tree, const KdLeaf& leaf, Ray& ray)
{
    using V = typename Lanes::V;
    using M = typename Lanes::M;
    using I = typename Lanes::I;
    constexpr unsigned kWidth = Lanes::kWidth;
    const uint32_t* triangles = tree.leafTriangles.data() + leaf.first;
    const CompactTriAccel* accels = tree.triangleAccels.data();
    const V zero = Lanes::zero(), one = Lanes::set1(1.0f);
    const V o[3] = {Lanes::set1(ray.origin[0]), Lanes::set1(ray.origin[1]), Lanes::set1(ray.origin[2])};
    const V d[3] = {Lanes::set1(ray.direction[0]), Lanes::set1(ray.direction[1]), Lanes::set1(ray.direction[2])};
    for (uint32_t first = 0; first < leaf.count; first += kWidth) {
        const unsigned count = leaf.count - first < kWidth ? leaf.count - first : kWidth;
        const M used = Lanes::firstLanes(count);
        const I index = Lanes::loadFirst(triangles + first, count);
        const I record = Lanes::times12(index);
        const I k = Lanes::asInt(
            Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, k)>), used));
        const M onX = Lanes::equalsInt(k, 0), onY = Lanes::equalsInt(k, 1);
        // The lanes' ray components on their record's axes k, u, v ((1, 2), (2, 0), (0, 1)).
        auto onAxes = [&](const V* c, int shift) {
            return Lanes::select(onX, c[shift % 3], Lanes::select(onY, c[(1 + shift) % 3], c[(2 + shift) % 3]));
        };
        const V ok = onAxes(o, 0), ou = onAxes(o, 1), ov = onAxes(o, 2);
        const V dk = onAxes(d, 0), du = onAxes(d, 1), dv = onAxes(d, 2);
        const V nU = Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, nU)>), used);
        const V nV = Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, nV)>), used);
        const V denominator = Lanes::add(Lanes::add(dk, Lanes::mul(nU, du)), Lanes::mul(nV, dv));
        const V normalK = Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, normalK)>),
                                        used);
        const M doubleSided = Lanes::nonZeroLowByte(Lanes::asInt(
            Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, doubleSided)>), used)));
        // Back faces are culled where the record is single-sided (a NaN product culls nothing, as
        // in the scalar test; its distance fails below).
        const M culled = Lanes::andNot(doubleSided, Lanes::ge(Lanes::mul(denominator, normalK), zero));
        M pass = Lanes::andNot(culled, used);
        const V nD = Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, nD)>), used);
        const V numerator = Lanes::sub(Lanes::sub(Lanes::sub(nD, ok), Lanes::mul(nU, ou)), Lanes::mul(nV, ov));
        const V dist = Lanes::div(numerator, denominator);
        pass = Lanes::bitAnd(pass, Lanes::bitAnd(Lanes::ge(dist, zero), Lanes::lt(dist, Lanes::set1(ray.tHit))));
        const V hu = Lanes::add(ou, Lanes::mul(dist, du)), hv = Lanes::add(ov, Lanes::mul(dist, dv));
        const V b = Lanes::add(
            Lanes::add(Lanes::mul(Lanes::gather(
                                      accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, betaU)>), used),
                                  hu),
                       Lanes::mul(Lanes::gather(
                                      accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, betaV)>), used),
                                  hv)),
            Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, betaD)>), used));
        const V g = Lanes::add(
            Lanes::add(
                Lanes::mul(
                    Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, gammaU)>), used),
                    hu),
                Lanes::mul(
                    Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, gammaV)>), used),
                    hv)),
            Lanes::gather(accels, Lanes::addWords(record, kWordAt<offsetof(CompactTriAccel, gammaD)>), used));
        pass = Lanes::bitAnd(pass, Lanes::bitAnd(Lanes::gt(b, zero), Lanes::gt(g, zero)));
        pass = Lanes::bitAnd(pass, Lanes::lt(Lanes::add(b, g), one));
        if (__builtin_expect(Lanes::bits(pass) == 0, 1))
            continue;
        const float nearest = Lanes::minOf(pass, dist);
        const unsigned lane = unsigned(
            __builtin_ctz(Lanes::bits(Lanes::bitAnd(pass, Lanes::eq(dist, Lanes::set1(nearest))))));
        alignas(64) float dists[kWidth], betas[kWidth], gammas[kWidth];
        Lanes::store(dists, dist);
        Lanes::store(betas, b);
        Lanes::store(gammas, g);
        const uint32_t triangle = triangles[first + lane];
        ray.tHit = dists[lane];  // not `nearest`: of 0 and -0 the lane's own
        ray.hitAccel = accels + triangle;
        ray.hitTriangle = &tree.geometry->triangles[triangle];
        ray.beta = betas[lane];
        ray.gamma = gammas[lane];
    }
}

}  // namespace Orvanta::KdWalk
