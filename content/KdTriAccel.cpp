#include "content/KdTriAccel.h"

#include <cmath>
#include <cstring>

namespace Orvanta {

namespace {

float component(Float3 p, uint32_t axis)
{
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

bool allFinite(const TriAccel& t)
{
    const float values[] = {t.normal[0], t.normal[1], t.normal[2], t.nU,     t.nV,     t.nD,
                            t.betaU,     t.betaV,     t.betaD,     t.gammaU, t.gammaV, t.gammaD};
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

TriAccel degenerateAccel(uint8_t doubleSided)
{
    TriAccel t;
    std::memset(&t, 0, sizeof t);
    t.doubleSided = doubleSided;
    t.betaD = -1.0f;
    t.gammaD = -1.0f;
    return t;
}

}  // namespace

TriAccel computeTriAccel(Float3 a, Float3 b, Float3 c, uint8_t doubleSided)
{
    const float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const float e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0f) || !std::isfinite(length))
        return degenerateAccel(doubleSided);
    for (float& v : n)
        v /= length;

    TriAccel t;
    std::memset(&t, 0, sizeof t);
    t.normal[0] = n[0];
    t.normal[1] = n[1];
    t.normal[2] = n[2];
    t.doubleSided = doubleSided;
    const float ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    const uint32_t k = (ax >= ay && ax >= az) ? 0 : (ay >= az ? 1 : 2);
    const uint32_t u = kTriAccelAxisU[k], v = kTriAccelAxisV[k];
    t.k = k;
    t.nU = n[u] / n[k];
    t.nV = n[v] / n[k];
    const float au = component(a, u), av = component(a, v);
    t.nD = component(a, k) + t.nU * au + t.nV * av;
    const float bu = component(b, u) - au, bv = component(b, v) - av;
    const float cu = component(c, u) - au, cv = component(c, v) - av;
    const float det = bu * cv - bv * cu;
    t.betaV = -cu / det;
    t.betaU = cv / det;
    t.betaD = (cu * av - cv * au) / det;
    t.gammaU = -bv / det;
    t.gammaV = bu / det;
    t.gammaD = (bv * au - bu * av) / det;
    if (!allFinite(t))
        return degenerateAccel(doubleSided);
    return t;
}

bool isDegenerateTriAccel(const TriAccel& t)
{
    return t.normal[0] == 0.0f && t.normal[1] == 0.0f && t.normal[2] == 0.0f;
}

CompactTriAccel compactTriAccel(const TriAccel& t)
{
    return {t.k,      t.nU,     t.nV,     t.nD,
            t.betaV,  t.betaU,  t.betaD,  t.normal[t.k < 3 ? t.k : 0],
            t.gammaU, t.gammaV, t.gammaD, t.doubleSided ? 1u : 0u};
}

Float3 faceNormalOf(const CompactTriAccel& a)
{
    const uint32_t k = a.k < 3 ? a.k : 0;
    float n[3];
    n[k] = a.normalK;
    n[kTriAccelAxisU[k]] = a.nU * a.normalK;
    n[kTriAccelAxisV[k]] = a.nV * a.normalK;
    return {n[0], n[1], n[2]};
}

}  // namespace Orvanta
