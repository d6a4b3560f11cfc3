#include "raytracing/SunPortals.h"

#include "raytracing/KdTraversal.h"
#include "raytracing/Optics.h"
#include "raytracing/SurfacePassing.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

// A pane the sun is not found to reach keeps this share of its weight: the few points measured
// may all miss a lit corner, and a lit patch that could never be chosen would bias the picture.
constexpr float kUnlitPaneWeight = 0.1f;

// Where on a pane its sun light is measured: the centroids of its four midpoint sub-triangles, as
// barycentric weights of the second and third corners.
constexpr float kLightProbes[4][2] = {
    {1.0f / 3.0f, 1.0f / 3.0f}, {1.0f / 6.0f, 1.0f / 6.0f}, {2.0f / 3.0f, 1.0f / 6.0f}, {1.0f / 6.0f, 2.0f / 3.0f}};

bool isThinPane(const RtSurface* surface)
{
    return surfaceTransmits(surface) && surface->optics.isThin;
}

struct Corners {
    Float3 a, b, c;
};

Corners cornersOf(const RayTracingGeometry& geometry, const RtTriangle& t)
{
    return {geometry.vertices[t.index0].position, geometry.vertices[t.index1].position,
            geometry.vertices[t.index2].position};
}

Float3 pointOn(const Corners& k, float beta, float gamma)
{
    return k.a + (k.b - k.a) * beta + (k.c - k.a) * gamma;
}

// The share of the pane's measured points that the sun reaches.
float litShare(const KdTree& tree, const ThinSheets& sheets, const Corners& k, Float3 normal, Float3 towardSun)
{
    int lit = 0;
    uint64_t rays = 0;
    const float offsetSign = dot(normal, towardSun) >= 0.0f ? 1.0f : -1.0f;
    for (const auto& probe : kLightProbes) {
        const Float3 p = pointOn(k, probe[0], probe[1]);
        const Float3 start = p + normal * (offsetSign * surfaceOffsetDistance(p));
        const float o[3] = {start.x, start.y, start.z};
        const float d[3] = {towardSun.x, towardSun.y, towardSun.z};
        Ray ray = makeRay(o, d);
        traverse(tree, ray);
        meetSheets(sheets, &ray, 1);
        const Float3 passed = passToLight(tree, sheets, ray, rays, nullptr);
        lit += luminanceOf(passed) > 0.0f ? 1 : 0;
    }
    return float(lit) / float(std::size(kLightProbes));
}

}  // namespace

SunPortals prepareSunPortals(const KdTree& tree, const ThinSheets& sheets, const SkyEnvironment& sky)
{
    SunPortals portals;
    portals.towardSun = sky.towardSun;
    if (!tree.geometry || luminanceOf(sky.sunIrradiance) <= 0.0f)
        return portals;
    const RayTracingGeometry& geometry = *tree.geometry;
    std::vector<float> weights;
    std::vector<float> areas;
    for (size_t i = 0; i < geometry.triangles.size(); ++i) {
        const RtTriangle& t = geometry.triangles[i];
        if (!isThinPane(t.surface))
            continue;
        const Corners k = cornersOf(geometry, t);
        const Float3 n = cross(k.b - k.a, k.c - k.a);
        const float area = 0.5f * length(n);
        if (!(area > 0.0f))
            continue;
        const Float3 normal = n * (0.5f / area);
        const float facing = std::fabs(dot(normal, sky.towardSun));
        if (!(facing > 0.0f))
            continue;
        const float lit = litShare(tree, sheets, k, normal, sky.towardSun);
        portals.panes.push_back(uint32_t(i));
        portals.normals.push_back(normal);
        areas.push_back(area);
        weights.push_back(area * facing * (kUnlitPaneWeight + (1.0f - kUnlitPaneWeight) * lit));
    }
    double total = 0.0;
    for (float w : weights)
        total += w;
    if (!(total > 0.0)) {
        portals.panes.clear();
        portals.normals.clear();
        return portals;
    }
    portals.paneOf.assign(geometry.triangles.size(), -1);
    double running = 0.0;
    for (size_t j = 0; j < portals.panes.size(); ++j) {
        running += weights[j];
        portals.cdf.push_back(float(running / total));
        portals.density.push_back(float(weights[j] / total / areas[j]));
        portals.paneOf[portals.panes[j]] = int32_t(j);
    }
    portals.cdf.back() = 1.0f;
    return portals;
}

PortalPoint samplePortalPoint(const SunPortals& portals, const RayTracingGeometry& geometry, float u0, float u1,
                              float u2)
{
    const auto found = std::upper_bound(portals.cdf.begin(), portals.cdf.end(), u0);
    const uint32_t pane = uint32_t(std::min<size_t>(size_t(found - portals.cdf.begin()), portals.cdf.size() - 1));
    // Uniform over the triangle: fold the unit square's upper half onto the lower one.
    if (u1 + u2 > 1.0f) {
        u1 = 1.0f - u1;
        u2 = 1.0f - u2;
    }
    const Corners k = cornersOf(geometry, geometry.triangles[portals.panes[pane]]);
    return {pointOn(k, u1, u2), pane};
}

float portalCrossingDensity(const SunPortals& portals, uint32_t pane, Float3 towardSunNow)
{
    const float facing = std::fabs(dot(portals.normals[pane], towardSunNow));
    return facing > 0.0f ? portals.density[pane] / facing : 0.0f;
}

}  // namespace Orvanta
