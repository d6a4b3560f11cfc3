#pragma once
#include "content/KdTree.h"
#include "raytracing/HitSurface.h"
#include "raytracing/Ray.h"
#include "raytracing/ThinSheets.h"

#include <functional>
#include <vector>

namespace Orvanta {

// How traced rays go on through what lets light pass: texels an alpha test cuts away, and glass and
// water. Shared by the reference path tracer and the irradiance probes, so that both see the same
// light through a window and between leaves.

// Cut-away texels (foliage) and panes a ray passes through before the rest of its way is given up.
inline constexpr int kMaxAlphaSkips = 32;

// Whether the ray hit a triangle.
inline bool hasHit(const Ray& ray)
{
    return ray.hitTriangle != nullptr && ray.tHit < kRayNoHit;
}

// Appends rays to a record of every ray traced, when one is kept (benchmarks replay them).
void recordRays(std::vector<Ray>* recorded, const Ray* rays, size_t count);

// The footprint of a camera ray's hit; none for the other rays, which see level 0.
using FootprintOf = std::function<TexCoordFootprint(const Ray&)>;

// Whether the ray's hit lies on a texel the surface's alpha test cuts away.
bool cutAway(const RayTracingGeometry& geometry, const Ray& ray, const FootprintOf& footprintOf);

// The sheets' hits replace the walk's nearer ones, ray by ray.
void meetSheets(const ThinSheets& sheets, Ray* rays, size_t count);

// Starts the ray again just past its hit, in the same direction, and walks it (the sheets too).
void continuePast(const KdTree& tree, const ThinSheets& sheets, Ray& ray, uint64_t& rays, std::vector<Ray>* recorded);

// Follows a ray on past texels an alpha test cuts away, as the frame's alpha-tested surfaces let
// the scene behind them show.
void passCutAway(const KdTree& tree, const ThinSheets& sheets, Ray& ray, uint64_t& rays, std::vector<Ray>* recorded,
                 const FootprintOf& footprintOf = {});

// Follows a shadow ray on through cut-away texels and through glass and water, which pass the part
// of the light their Fresnel reflectance does not send back, tinted by their transmission colour.
// Light through a window thus reaches a room, and light through a puddle the ground beneath it, by
// the sun's and the sky's direct estimates, not only by the rare path that happens to leave
// through the surface towards the sun disc. A pane passes light straight; water bends it, but a
// beam through a flat surface keeps its cross-section on a floor parallel to it, so the straight
// estimate gives such a floor the irradiance the bent light brings. A thin sheet passes what its
// colour image does not cover. Returns the fraction of the light that gets through (zero when
// something opaque blocks it).
// With a reach, the light is a point that far along the ray's (unit) direction, and what lies
// beyond it does not block. onPane, when given, sees every glass or water surface the ray passes.
Float3 passToLight(const KdTree& tree, const ThinSheets& sheets, Ray& ray, uint64_t& rays, std::vector<Ray>* recorded,
                   float reach = kRayNoHit, const std::function<void(const Ray&)>& onPane = {});

}  // namespace Orvanta
