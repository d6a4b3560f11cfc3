#pragma once
#include "content/RayTracingGeometry.h"
#include "raytracing/ImageSampling.h"
#include "raytracing/Ray.h"

namespace Orvanta {

// Texture-coordinate derivatives of a hit across the pixel footprint; all zero samples level 0.
struct TexCoordFootprint {
    float dudx = 0.0f;
    float dvdx = 0.0f;
    float dudy = 0.0f;
    float dvdy = 0.0f;
};

// What the G-buffer write would record for a traced hit: the surface's texture coordinates, its
// sampled colour (linear albedo, alpha) and its shading normal (the normal map applied to the
// interpolated frame), as the triangle's winding orients them.
struct HitSurface {
    float tu = 0.0f;
    float tv = 0.0f;
    SampledColor color{1.0f, 1.0f, 1.0f, 1.0f};
    Float3 interpolatedNormal;  // the vertices' normals blended, not normalised
    Float3 shadingNormal;       // unit length
    const RtSurface* surface = nullptr;
};

// Barycentric weights of the point where a ray meets a triangle's plane, with no range check: a
// neighbour pixel's ray may pass outside the triangle.
void planeBarycentrics(const CompactTriAccel& accel, const float origin[3], const float direction[3], float& beta,
                       float& gamma);

// Texture coordinates of a point of a triangle given by its barycentric weights.
void texCoordAt(const RayTracingGeometry& geometry, const RtTriangle& triangle, float beta, float gamma, float& tu,
                float& tv);

// How images are sampled: on one level chosen from the footprint, as the reflections' tracer does,
// or as the GPU filters the rasterised frame's textures (sampleImageFiltered).
enum class ImageFilter { NearestLevel, AsGpu };

// The surface at the ray's hit. False (the result left at its defaults) when the ray hit nothing
// or its triangle refers past the vertex array.
bool hitSurface(const RayTracingGeometry& geometry, const Ray& ray, const TexCoordFootprint& footprint, HitSurface& out,
                ImageFilter filter = ImageFilter::NearestLevel);

// Samples an image at texture coordinates with a footprint and a filter.
SampledColor sampleWith(ImageFilter filter, const RtImage& image, float tu, float tv, const TexCoordFootprint& f);

// The colour image's alpha at the hit's texture coordinates (with the footprint and filter given;
// level 0 by default), 1 without an image: what an alpha test compares with its threshold.
float hitAlpha(const RayTracingGeometry& geometry, const Ray& ray, const TexCoordFootprint& footprint = {},
               ImageFilter filter = ImageFilter::NearestLevel);

}  // namespace Orvanta
