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

// The share of the pane's measured points that the sun reaches.
float litShare(const KdTree& tree, const ThinSheets& sheets, const WindowPanes& windows, size_t j, Float3 towardSun)
{
    int lit = 0;
    uint64_t rays = 0;
    const Float3 normal = windows.normal[j];
    const float offsetSign = dot(normal, towardSun) >= 0.0f ? 1.0f : -1.0f;
    for (const auto& probe : kLightProbes) {
        const Float3 p = pointOnPane(windows, j, probe[0], probe[1]);
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

SunPortals prepareSunPortals(const KdTree& tree, const ThinSheets& sheets, const SkyEnvironment& sky,
                             const WindowPanes& windows)
{
    SunPortals portals;
    portals.windows = &windows;
    portals.towardSun = sky.towardSun;
    if (!tree.geometry || luminanceOf(sky.sunIrradiance) <= 0.0f)
        return portals;
    std::vector<float> weights;
    for (size_t j = 0; j < windows.triangles.size(); ++j) {
        const float facing = std::fabs(dot(windows.normal[j], sky.towardSun));
        if (!(facing > 0.0f))
            continue;
        const float lit = litShare(tree, sheets, windows, j, sky.towardSun);
        portals.panes.push_back(uint32_t(j));
        weights.push_back(windows.area[j] * facing * (kUnlitPaneWeight + (1.0f - kUnlitPaneWeight) * lit));
    }
    double total = 0.0;
    for (float w : weights)
        total += w;
    if (!(total > 0.0)) {
        portals.panes.clear();
        return portals;
    }
    portals.paneOf.assign(tree.geometry->triangles.size(), -1);
    double running = 0.0;
    for (size_t k = 0; k < portals.panes.size(); ++k) {
        running += weights[k];
        portals.cdf.push_back(float(running / total));
        portals.density.push_back(float(weights[k] / total / windows.area[portals.panes[k]]));
        portals.paneOf[windows.triangles[portals.panes[k]]] = int32_t(k);
    }
    portals.cdf.back() = 1.0f;
    return portals;
}

PortalPoint samplePortalPoint(const SunPortals& portals, float u0, float u1, float u2)
{
    const auto found = std::upper_bound(portals.cdf.begin(), portals.cdf.end(), u0);
    const uint32_t pane = uint32_t(std::min<size_t>(size_t(found - portals.cdf.begin()), portals.cdf.size() - 1));
    return {pointOnPane(*portals.windows, portals.panes[pane], u1, u2), pane};
}

float portalCrossingDensity(const SunPortals& portals, uint32_t pane, Float3 towardSunNow)
{
    const float facing = std::fabs(dot(portals.normal(pane), towardSunNow));
    return facing > 0.0f ? portals.density[pane] / facing : 0.0f;
}

}  // namespace Orvanta
