#include "raytracing/SurfacePassing.h"

#include "raytracing/KdTraversal.h"
#include "raytracing/Optics.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

void recordRays(std::vector<Ray>* recorded, const Ray* rays, size_t count)
{
    if (recorded)
        recorded->insert(recorded->end(), rays, rays + count);
}

bool cutAway(const RayTracingGeometry& geometry, const Ray& ray, const FootprintOf& footprintOf)
{
    const RtSurface* s = ray.hitTriangle ? ray.hitTriangle->surface : nullptr;
    if (!s || !s->alphaTested)
        return false;
    const TexCoordFootprint f = footprintOf ? footprintOf(ray) : TexCoordFootprint{};
    return hitAlpha(geometry, ray, f, ImageFilter::AsGpu) < s->alphaTestThreshold;
}

void meetSheets(const ThinSheets& sheets, Ray* rays, size_t count)
{
    if (sheets.empty())
        return;
    for (size_t i = 0; i < count; ++i)
        hitNearerSheet(sheets, rays[i]);
}

void continuePast(const KdTree& tree, const ThinSheets& sheets, Ray& ray, uint64_t& rays, std::vector<Ray>* recorded)
{
    ray = rayPastHit(ray);
    recordRays(recorded, &ray, 1);
    traverse(tree, ray);
    meetSheets(sheets, &ray, 1);
    ++rays;
}

void passCutAway(const KdTree& tree, const ThinSheets& sheets, Ray& ray, uint64_t& rays, std::vector<Ray>* recorded,
                 const FootprintOf& footprintOf)
{
    for (int skip = 0; skip < kMaxAlphaSkips && hasHit(ray) && cutAway(*tree.geometry, ray, footprintOf); ++skip)
        continuePast(tree, sheets, ray, rays, recorded);
}

Float3 passToLight(const KdTree& tree, const ThinSheets& sheets, Ray& ray, uint64_t& rays, std::vector<Ray>* recorded,
                   float reach, const std::function<void(const Ray&)>& onPane)
{
    Float3 transmitted{1.0f, 1.0f, 1.0f};
    // How far the ray's present start lies from where it began (it starts again past each surface).
    float travelled = 0.0f;
    const Float3 start = originOf(ray);
    for (int skip = 0; skip < kMaxAlphaSkips && hasHit(ray); ++skip) {
        if (travelled + ray.tHit >= reach)
            return transmitted;
        const RtSurface* surface = ray.hitTriangle->surface;
        if (hitsSheet(ray)) {
            // What the sheet does not cover passes straight; what it scatters arrives by the
            // paths that meet the sheet.
            transmitted = transmitted * (1.0f - std::clamp(hitAlpha(*tree.geometry, ray), 0.0f, 1.0f));
        } else if (surfaceTransmits(surface)) {
            const float cosine = std::fabs(dot(faceNormal(ray), directionOf(ray)));
            const float pass = 1.0f - schlickReflectance(surface->optics.reflectance, cosine);
            transmitted = multiplyComponents(transmitted, surface->optics.transmissionColor) * pass;
            if (onPane)
                onPane(ray);
        } else if (!cutAway(*tree.geometry, ray, {})) {
            return {};
        }
        continuePast(tree, sheets, ray, rays, recorded);
        travelled = length(originOf(ray) - start);
    }
    return hasHit(ray) && travelled + ray.tHit < reach ? Float3{} : transmitted;
}

}  // namespace Orvanta
