#pragma once
#include "content/KdTriAccel.h"

namespace Orvanta {

// The projection test of one ray against one triangle record: back faces are culled unless the
// record is double-sided; a hit needs 0 <= t < tLimit and the point strictly inside the triangle
// (beta > 0, gamma > 0, beta + gamma < 1). NaN from parallel rays fails every comparison.
//
// The facing test uses the plane denominator, which is (N . d) / N_k: its product with N_k has the
// sign of N . d. Testing d_k * N_k alone would also drop front faces of sloped triangles seen at
// a grazing angle (a ray running down a roof towards its ridge side).
inline bool intersectTriAccel(const CompactTriAccel& a, const float o[3], const float d[3], float tLimit, float& t,
                              float& beta, float& gamma)
{
    const uint32_t k = a.k, u = kTriAccelAxisU[k], v = kTriAccelAxisV[k];
    const float denominator = d[k] + a.nU * d[u] + a.nV * d[v];
    if (!a.doubleSided && denominator * a.normalK >= 0.0f)
        return false;
    const float dist = (a.nD - o[k] - a.nU * o[u] - a.nV * o[v]) / denominator;
    if (!(dist >= 0.0f && dist < tLimit))
        return false;
    const float hu = o[u] + dist * d[u], hv = o[v] + dist * d[v];
    const float b = a.betaU * hu + a.betaV * hv + a.betaD;
    if (!(b > 0.0f))
        return false;
    const float g = a.gammaU * hu + a.gammaV * hv + a.gammaD;
    if (!(g > 0.0f) || !(b + g < 1.0f))
        return false;
    t = dist;
    beta = b;
    gamma = g;
    return true;
}

}  // namespace Orvanta
