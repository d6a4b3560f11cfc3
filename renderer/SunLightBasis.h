#pragma once
#include "scene/Math.h"

namespace Orvanta {

// The orthonormal frame every sun-aligned pass (shadow maps, reflective shadow maps, ambient
// occlusion) renders in. direction is the way the light travels; u and v span the plane across
// it. Light space is centred on the world origin: x = v . p, y = u . p, depth = direction . p.
struct SunLightBasis {
    Float3 u;
    Float3 v;
    Float3 direction;
};

// u = normalise((1, 0, 0) x d), v = normalise(d x u). When the light travels along the x axis that
// cross product vanishes; the basis then uses (0, 0, 1) as its reference axis instead, so the frame
// stays orthonormal (and finite) for every unit direction.
SunLightBasis makeSunLightBasis(Float3 direction);

// World to light space: rows v, u, -direction; no translation.
Matrix4 lightViewMatrix(const SunLightBasis& basis);

}  // namespace Orvanta
