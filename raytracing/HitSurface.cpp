#include "raytracing/HitSurface.h"

#include <cmath>

namespace Orvanta {

namespace {

Float3 blend(Float3 p0, Float3 p1, Float3 p2, float beta, float gamma)
{
    return {p0.x + (p1.x - p0.x) * beta + (p2.x - p0.x) * gamma, p0.y + (p1.y - p0.y) * beta + (p2.y - p0.y) * gamma,
            p0.z + (p1.z - p0.z) * beta + (p2.z - p0.z) * gamma};
}

bool validTriangle(const RayTracingGeometry& geometry, const Ray& ray)
{
    const RtTriangle* t = ray.hitTriangle;
    const size_t count = geometry.vertices.size();
    return t && ray.hitAccel && t->index0 < count && t->index1 < count && t->index2 < count;
}

}  // namespace

void planeBarycentrics(const CompactTriAccel& a, const float o[3], const float d[3], float& beta, float& gamma)
{
    const uint32_t k = a.k < 3 ? a.k : 0;
    const uint32_t u = kTriAccelAxisU[k];
    const uint32_t v = kTriAccelAxisV[k];
    const float t = (a.nD - o[k] - a.nU * o[u] - a.nV * o[v]) / (a.nU * d[u] + d[k] + a.nV * d[v]);
    const float hu = o[u] + d[u] * t;
    const float hv = o[v] + d[v] * t;
    beta = a.betaU * hu + a.betaV * hv + a.betaD;
    gamma = a.gammaU * hu + a.gammaV * hv + a.gammaD;
}

void texCoordAt(const RayTracingGeometry& geometry, const RtTriangle& triangle, float beta, float gamma, float& tu,
                float& tv)
{
    const float* t0 = geometry.vertices[triangle.index0].texCoord;
    const float* t1 = geometry.vertices[triangle.index1].texCoord;
    const float* t2 = geometry.vertices[triangle.index2].texCoord;
    tu = t0[0] + (t1[0] - t0[0]) * beta + (t2[0] - t0[0]) * gamma;
    tv = t0[1] + (t1[1] - t0[1]) * beta + (t2[1] - t0[1]) * gamma;
}

SampledColor sampleWith(ImageFilter filter, const RtImage& image, float tu, float tv, const TexCoordFootprint& f)
{
    return filter == ImageFilter::AsGpu ? sampleImageFiltered(image, tu, tv, f.dudx, f.dvdx, f.dudy, f.dvdy)
                                        : sampleImage(image, tu, tv, f.dudx, f.dvdx, f.dudy, f.dvdy);
}

bool hitSurface(const RayTracingGeometry& geometry, const Ray& ray, const TexCoordFootprint& f, HitSurface& out,
                ImageFilter filter)
{
    out = HitSurface();
    if (!validTriangle(geometry, ray))
        return false;
    const RtTriangle& tri = *ray.hitTriangle;
    const RtVertex& v0 = geometry.vertices[tri.index0];
    const RtVertex& v1 = geometry.vertices[tri.index1];
    const RtVertex& v2 = geometry.vertices[tri.index2];
    texCoordAt(geometry, tri, ray.beta, ray.gamma, out.tu, out.tv);
    out.surface = tri.surface;

    if (out.surface && out.surface->colorImage)
        out.color = sampleWith(filter, *out.surface->colorImage, out.tu, out.tv, f);
    float m[3] = {0.0f, 0.0f, 1.0f};
    if (out.surface && out.surface->normalImage) {
        const SampledColor s = sampleWith(filter, *out.surface->normalImage, out.tu, out.tv, f);
        m[0] = 2.0f * s.r - 1.0f;
        m[1] = 2.0f * s.g - 1.0f;
        m[2] = 2.0f * s.b - 1.0f;
    }
    const Float3 n = blend(v0.normal, v1.normal, v2.normal, ray.beta, ray.gamma);
    const Float3 t = blend(v0.tangent, v1.tangent, v2.tangent, ray.beta, ray.gamma);
    const Float3 b = blend(v0.binormal, v1.binormal, v2.binormal, ray.beta, ray.gamma);
    out.interpolatedNormal = n;
    const Float3 shading = t * m[0] + b * m[1] + n * m[2];
    // A degenerate tangent frame falls back to the interpolated normal rather than NaN.
    const float shadingLength = length(shading);
    const float normalLength = length(n);
    if (shadingLength > 0.0f && std::isfinite(shadingLength))
        out.shadingNormal = shading / shadingLength;
    else if (normalLength > 0.0f && std::isfinite(normalLength))
        out.shadingNormal = n / normalLength;
    return true;
}

float hitAlpha(const RayTracingGeometry& geometry, const Ray& ray, const TexCoordFootprint& footprint,
               ImageFilter filter)
{
    if (!validTriangle(geometry, ray) || !ray.hitTriangle->surface || !ray.hitTriangle->surface->colorImage)
        return 1.0f;
    float tu, tv;
    texCoordAt(geometry, *ray.hitTriangle, ray.beta, ray.gamma, tu, tv);
    return sampleWith(filter, *ray.hitTriangle->surface->colorImage, tu, tv, footprint).a;
}

}  // namespace Orvanta
