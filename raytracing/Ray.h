#pragma once
#include "content/KdTriAccel.h"
#include "content/RayTracingGeometry.h"

namespace Orvanta {

inline constexpr float kRayNoHit = 100000.0f;

// One traced ray. Distances are in units of the direction's length.
struct Ray {
    float origin[3] = {0, 0, 0};
    float direction[3] = {0, 0, 0};
    float inverseDirection[3] = {0, 0, 0};
    float tMin = 0.0f;
    float tMax = kRayNoHit;
    float tHit = kRayNoHit;
    const CompactTriAccel* hitAccel = nullptr;
    const RtTriangle* hitTriangle = nullptr;
    float beta = 0.0f;   // weight of the triangle's second vertex
    float gamma = 0.0f;  // weight of the triangle's third vertex
};

// A ray at its start values; a zero direction component gives an infinite inverse.
Ray makeRay(const float origin[3], const float direction[3]);

inline Float3 originOf(const Ray& ray)
{
    return {ray.origin[0], ray.origin[1], ray.origin[2]};
}

// The ray's direction as a vector, as long as it was given (distances are in its units).
inline Float3 directionOf(const Ray& ray)
{
    return {ray.direction[0], ray.direction[1], ray.direction[2]};
}

// Where the ray hit (or its far end, at tHit, when it did not).
inline Float3 hitPoint(const Ray& ray)
{
    return originOf(ray) + directionOf(ray) * ray.tHit;
}

// The hit triangle's unit normal as its corners wind, from the intersection record (only a triangle
// with area is ever hit). The ray must have hit.
inline Float3 faceNormal(const Ray& ray)
{
    return faceNormalOf(*ray.hitAccel);
}

}  // namespace Orvanta
