#pragma once
#include "content/KdTriAccel.h"
#include "content/RayTracingGeometry.h"
#include "raytracing/Ray.h"

#include <vector>

namespace Orvanta {

// The geometry's transparent sheets (RayTracingGeometry::sheets) made ready for ray tests. There
// are few of them (the canopy's box is twelve triangles), so each ray tests them all, behind one
// box test, instead of walking a tree of their own.
struct ThinSheets {
    const RayTracingGeometry* geometry = nullptr;
    std::vector<CompactTriAccel> accels;  // one per sheet triangle, double-sided
    Float3 boxMin, boxMax;

    bool empty() const { return accels.empty(); }
};

ThinSheets prepareThinSheets(const RayTracingGeometry& geometry);

// When the ray meets a sheet nearer than its recorded hit (tHit, 100000 without one), its hit
// record (tHit, hitAccel, hitTriangle, beta, gamma) becomes that sheet's. Returns whether it did.
bool hitNearerSheet(const ThinSheets& sheets, Ray& ray);

// Whether the ray's recorded hit is a sheet's.
inline bool hitsSheet(const Ray& ray)
{
    return ray.hitTriangle && ray.hitTriangle->surface && ray.hitTriangle->surface->transparent;
}

}  // namespace Orvanta
