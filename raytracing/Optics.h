#pragma once
#include "gpu/MaterialFile.h"
#include "raytracing/Ray.h"
#include "scene/Math.h"

namespace Orvanta {

struct RtSurface;

// The optics of glass and water shared by every tracer of the engine: how much light a surface
// reflects at an angle and where the rest goes. The ray-casting and composite shaders compute the
// same in GLSL (resources/shaders/engine/common/surfaceOptics.shader).

// Schlick's approximation of the Fresnel reflectance for the reflectance at normal incidence and
// the cosine between the ray and the normal (clamped to 0..1). 1 minus it is what passes on.
float schlickReflectance(float normalReflectance, float cosine);

// Snell's law: the unit incident direction d bent through a surface whose unit normal n faces the
// side d comes from (dot(d, n) <= 0), eta being the index of that side over the index of the other.
// False, with out untouched, at total internal reflection.
bool refractDirection(Float3 d, Float3 n, float eta, Float3& out);

// Where light leaves a surface of these optics that it meets along unit d, n facing d's side:
// straight on through a thin pane, refracted into a solid medium (entering: from outside into the
// medium of index indexOfRefraction) or out of it. False at total internal reflection.
bool transmittedDirection(const MaterialOptics& optics, Float3 d, Float3 n, bool entering, Float3& out);

// How far a new ray starts from the surface it leaves: a little more than the position's float
// spacing, so the walk does not find the same triangle again, and far less than any wall is thick.
float surfaceOffsetDistance(Float3 p);

// The ray started again just past its hit, in the same direction, at its start values (to be
// walked again): how a ray goes on through a surface that lets it pass.
Ray rayPastHit(const Ray& ray);

// Whether traced rays go on through the surface: it has a ray-traced pass and lets light through.
bool surfaceTransmits(const RtSurface* surface);

}  // namespace Orvanta
