#include "raytracing/Optics.h"

#include "content/RayTracingGeometry.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

float schlickReflectance(float normalReflectance, float cosine)
{
    const float m = 1.0f - std::clamp(cosine, 0.0f, 1.0f);
    const float m2 = m * m;
    return normalReflectance + (1.0f - normalReflectance) * m2 * m2 * m;
}

bool refractDirection(Float3 d, Float3 n, float eta, Float3& out)
{
    const float cosine = -dot(d, n);
    const float k = 1.0f - eta * eta * (1.0f - cosine * cosine);
    if (k < 0.0f)
        return false;
    out = normalize(d * eta + n * (eta * cosine - std::sqrt(k)));
    return true;
}

bool transmittedDirection(const MaterialOptics& optics, Float3 d, Float3 n, bool entering, Float3& out)
{
    if (optics.isThin) {
        out = d;
        return true;
    }
    const float eta = entering ? 1.0f / optics.indexOfRefraction : optics.indexOfRefraction;
    return refractDirection(d, n, eta, out);
}

float surfaceOffsetDistance(Float3 p)
{
    const float extent = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    return 1e-4f + 2e-5f * extent;
}

Ray rayPastHit(const Ray& ray)
{
    const Float3 d = directionOf(ray);
    const Float3 hit = hitPoint(ray);
    // The offset is a distance; the direction need not have unit length.
    const float dLength = length(d);
    const Float3 start = hit + d * (dLength > 0.0f ? surfaceOffsetDistance(hit) / dLength : 0.0f);
    const float o[3] = {start.x, start.y, start.z};
    return makeRay(o, ray.direction);
}

bool surfaceTransmits(const RtSurface* surface)
{
    return surface && surface->hasMirrorPass && surface->optics.transmits();
}

}  // namespace Orvanta
