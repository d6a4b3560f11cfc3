#include "raytracing/WindowPortals.h"

#include "raytracing/KdTraversal.h"
#include "raytracing/Optics.h"
#include "raytracing/PathSampling.h"
#include "raytracing/Ray.h"
#include "raytracing/SurfacePassing.h"
#include "raytracing/TriAccelHit.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

// Nearer than this a pane's solid angle is estimated as if it were this far (squared, in square
// metres), so that a vertex beside a pane does not aim almost every path at it.
constexpr float kNearestSquared = 0.25f;
// How far into its room a pane is aimed at, in metres: a classroom's depth. Beyond it a vertex is
// more likely out in the yard on the far side of the building than in the pane's room.
constexpr float kRoomDepth = 8.0f;
// Rays per side of a pane that find which side is the room's.
constexpr int kSideRays = 32;
// The room's side must see the sky by at most this share of the other side's rays.
constexpr float kRoomSkyShare = 0.5f;

// How many of a few rays from the pane's centre, spread over the hemisphere on `side`, leave the
// scene (fixed directions, so that the choice does not change from run to run).
int skyRays(const KdTree& tree, Float3 centre, Float3 side)
{
    SampleGenerator random(1, 1);
    int escaped = 0;
    const Float3 start = centre + side * surfaceOffsetDistance(centre);
    for (int i = 0; i < kSideRays; ++i) {
        const Float3 d = sampleCosineHemisphere(side, random.uniform(), random.uniform());
        const float o[3] = {start.x, start.y, start.z};
        const float dir[3] = {d.x, d.y, d.z};
        Ray ray = makeRay(o, dir);
        traverse(tree, ray);
        uint64_t rays = 0;
        // On through the window's other panes and cut-away leaves, as light comes in.
        escaped += luminanceOf(passToLight(tree, ThinSheets{}, ray, rays, nullptr)) > 0.0f ? 1 : 0;
    }
    return escaped;
}

Float3 roomSide(const KdTree& tree, Float3 centre, Float3 normal)
{
    const int front = skyRays(tree, centre, normal), back = skyRays(tree, centre, -normal);
    if (back > 0 && float(front) <= kRoomSkyShare * float(back))
        return normal;
    if (front > 0 && float(back) <= kRoomSkyShare * float(front))
        return -normal;
    return {};
}

}  // namespace

WindowPanes prepareWindowPanes(const KdTree& tree)
{
    WindowPanes panes;
    panes.tree = &tree;
    if (!tree.geometry)
        return panes;
    const RayTracingGeometry& geometry = *tree.geometry;
    for (size_t i = 0; i < geometry.triangles.size() && i < tree.triangleAccels.size(); ++i) {
        const RtTriangle& t = geometry.triangles[i];
        if (!surfaceTransmits(t.surface) || !t.surface->optics.isThin)
            continue;
        const Float3 a = geometry.vertices[t.index0].position;
        const Float3 e1 = geometry.vertices[t.index1].position - a;
        const Float3 e2 = geometry.vertices[t.index2].position - a;
        const Float3 n = cross(e1, e2);
        const float doubled = length(n);
        if (!(doubled > 0.0f))
            continue;
        panes.triangles.push_back(uint32_t(i));
        panes.corner.push_back(a);
        panes.edge1.push_back(e1);
        panes.edge2.push_back(e2);
        panes.centre.push_back(a + (e1 + e2) * (1.0f / 3.0f));
        panes.normal.push_back(n * (1.0f / doubled));
        panes.inward.push_back(roomSide(tree, panes.centre.back(), panes.normal.back()));
        panes.area.push_back(0.5f * doubled);
    }
    return panes;
}

void WindowDirections::prepare(const WindowPanes& source, Float3 position, Float3 surfaceNormal, bool twoSided)
{
    panes = &source;
    origin = position;
    const size_t n = source.triangles.size();
    cdf.resize(n);
    weight.resize(n);
    total = 0.0f;
    for (size_t j = 0; j < n; ++j) {
        const Float3 toPane = source.centre[j] - position;
        const float distanceSquared = dot(toPane, toPane);
        float w = 0.0f;
        // In the pane's room: on its inner side, and not so far behind it that the vertex is in
        // another room or out beyond the building's far wall.
        const Float3 inward = source.inward[j];
        const float depth = -dot(inward, toPane);
        const bool roomSide = dot(inward, inward) == 0.0f || (depth > 0.0f && depth < kRoomDepth);
        if (distanceSquared > 0.0f && roomSide && (twoSided || dot(surfaceNormal, toPane) > 0.0f)) {
            const float facing = std::fabs(dot(source.normal[j], toPane)) / std::sqrt(distanceSquared);
            w = source.area[j] * facing / std::max(distanceSquared, kNearestSquared);
        }
        weight[j] = w;
        total += w;
        cdf[j] = total;
    }
}

Float3 pointOnPane(const WindowPanes& panes, size_t j, float u1, float u2)
{
    // Fold the unit square's upper half onto the lower one.
    if (u1 + u2 > 1.0f) {
        u1 = 1.0f - u1;
        u2 = 1.0f - u2;
    }
    return panes.corner[j] + panes.edge1[j] * u1 + panes.edge2[j] * u2;
}

Float3 WindowDirections::sample(float u0, float u1, float u2) const
{
    const auto found = std::upper_bound(cdf.begin(), cdf.end(), u0 * total);
    const size_t j = std::min<size_t>(size_t(found - cdf.begin()), cdf.size() - 1);
    return normalize(pointOnPane(*panes, j, u1, u2) - origin);
}

float WindowDirections::pdf(Float3 d) const
{
    if (empty())
        return 0.0f;
    const float o[3] = {origin.x, origin.y, origin.z};
    const float dir[3] = {d.x, d.y, d.z};
    float density = 0.0f;
    for (size_t j = 0; j < weight.size(); ++j) {
        if (!(weight[j] > 0.0f))
            continue;
        CompactTriAccel accel = panes->tree->triangleAccels[panes->triangles[j]];
        accel.doubleSided = 1;
        float t = 0.0f, beta = 0.0f, gamma = 0.0f;
        if (!intersectTriAccel(accel, o, dir, kRayNoHit, t, beta, gamma))
            continue;
        const float facing = std::fabs(dot(panes->normal[j], d));
        if (facing > 0.0f)
            density += weight[j] / (total * panes->area[j]) * t * t / facing;
    }
    return density;
}

}  // namespace Orvanta
