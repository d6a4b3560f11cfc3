#include "raytracing/ThinSheets.h"

#include "raytracing/TriAccelHit.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

ThinSheets prepareThinSheets(const RayTracingGeometry& geometry)
{
    ThinSheets sheets;
    sheets.geometry = &geometry;
    sheets.boxMin = {INFINITY, INFINITY, INFINITY};
    sheets.boxMax = {-INFINITY, -INFINITY, -INFINITY};
    for (const RtTriangle& t : geometry.sheets) {
        const Float3 a = geometry.vertices[t.index0].position, b = geometry.vertices[t.index1].position,
                     c = geometry.vertices[t.index2].position;
        sheets.accels.push_back(compactTriAccel(computeTriAccel(a, b, c, 1)));
        for (const Float3& p : {a, b, c}) {
            sheets.boxMin = {std::min(sheets.boxMin.x, p.x), std::min(sheets.boxMin.y, p.y),
                             std::min(sheets.boxMin.z, p.z)};
            sheets.boxMax = {std::max(sheets.boxMax.x, p.x), std::max(sheets.boxMax.y, p.y),
                             std::max(sheets.boxMax.z, p.z)};
        }
    }
    return sheets;
}

namespace {

// Slab test of the ray's segment [0, limit) against the sheets' box.
bool meetsBox(const ThinSheets& sheets, const Ray& ray, float limit)
{
    const float lo[3] = {sheets.boxMin.x, sheets.boxMin.y, sheets.boxMin.z};
    const float hi[3] = {sheets.boxMax.x, sheets.boxMax.y, sheets.boxMax.z};
    float enter = 0.0f, leave = limit;
    for (int a = 0; a < 3; ++a) {
        float t0 = (lo[a] - ray.origin[a]) * ray.inverseDirection[a];
        float t1 = (hi[a] - ray.origin[a]) * ray.inverseDirection[a];
        if (t0 > t1)
            std::swap(t0, t1);
        // NaN (a zero direction component on a face of the box) keeps the segment open.
        enter = t0 > enter ? t0 : enter;
        leave = t1 < leave ? t1 : leave;
    }
    return enter <= leave;
}

}  // namespace

bool hitNearerSheet(const ThinSheets& sheets, Ray& ray)
{
    if (sheets.empty() || !meetsBox(sheets, ray, ray.tHit))
        return false;
    bool found = false;
    for (size_t i = 0; i < sheets.accels.size(); ++i) {
        float t, beta, gamma;
        if (!intersectTriAccel(sheets.accels[i], ray.origin, ray.direction, ray.tHit, t, beta, gamma))
            continue;
        ray.tHit = t;
        ray.hitAccel = &sheets.accels[i];
        ray.hitTriangle = &sheets.geometry->sheets[i];
        ray.beta = beta;
        ray.gamma = gamma;
        found = true;
    }
    return found;
}

}  // namespace Orvanta
