#include "raytracing/PacketLeafTest.h"

#include "content/KdTriAccel.h"
#include "raytracing/KdWalkParts.h"

namespace Orvanta {

namespace {

using Lanes = Lanes4;
using V = Lanes::V;

void recordHits(const KdTree& tree, const TriAccel& a, uint32_t triangle, unsigned hits, V beta, V gamma,
                Ray* rays)
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

// One triangle against the four lanes.
void testTriangle(const KdTree& tree, uint32_t triangle, V activeLanes, PacketRays& p)
{
    const TriAccel& a = tree.triangleAccels[triangle];
    const V zero = Lanes::zero(), one = Lanes::set1(1.0f);
    const uint32_t k = a.k, u = kTriAccelAxisU[k], v = kTriAccelAxisV[k];
    const V nU = Lanes::set1(a.nU), nV = Lanes::set1(a.nV);
    const V denominator =
        Lanes::add(Lanes::add(p.direction[k], Lanes::mul(nU, p.direction[u])), Lanes::mul(nV, p.direction[v]));
    V ok = activeLanes;
    if (!a.doubleSided)
        ok = Lanes::bitAnd(ok, Lanes::lt(Lanes::mul(denominator, Lanes::set1(a.normal[k])), zero));
    const V numerator =
        Lanes::sub(Lanes::sub(Lanes::sub(Lanes::set1(a.nD), p.origin[k]), Lanes::mul(nU, p.origin[u])),
                   Lanes::mul(nV, p.origin[v]));
    const V dist = Lanes::div(numerator, denominator);
    ok = Lanes::bitAnd(ok, Lanes::bitAnd(Lanes::ge(dist, zero), Lanes::lt(dist, p.tHit)));
    if (!Lanes::bits(ok))
        return;
    const V hu = Lanes::add(p.origin[u], Lanes::mul(dist, p.direction[u]));
    const V hv = Lanes::add(p.origin[v], Lanes::mul(dist, p.direction[v]));
    const V b = Lanes::add(Lanes::add(Lanes::mul(Lanes::set1(a.betaU), hu), Lanes::mul(Lanes::set1(a.betaV), hv)),
                           Lanes::set1(a.betaD));
    const V g = Lanes::add(Lanes::add(Lanes::mul(Lanes::set1(a.gammaU), hu), Lanes::mul(Lanes::set1(a.gammaV), hv)),
                           Lanes::set1(a.gammaD));
    ok = Lanes::bitAnd(ok, Lanes::bitAnd(Lanes::gt(b, zero), Lanes::gt(g, zero)));
    ok = Lanes::bitAnd(ok, Lanes::lt(Lanes::add(b, g), one));
    const unsigned hits = Lanes::bits(ok);
    if (!hits)
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
