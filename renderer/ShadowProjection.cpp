#include "renderer/ShadowProjection.h"

#include <cmath>

namespace Orvanta {

namespace {

// A sphere or square of no extent would divide by zero; the smallest map still covers a point.
constexpr float minimumHalfSize = 1.0e-4f;

Matrix4 orthographicLightProjection(float sx, float sy, float halfSize, float depthScale, float depthOffset)
{
    Matrix4 p;
    for (float& element : p.m)
        element = 0.0f;
    p[0] = 1.0f / halfSize;
    p[12] = -sx / halfSize;
    p[5] = 1.0f / halfSize;
    p[13] = -sy / halfSize;
    p[10] = depthScale;
    p[14] = depthOffset;
    p[15] = 1.0f;
    return p;
}

ShadowProjection makeProjection(const SunLightBasis& basis, float sx, float sy, float halfSize, float depthScale,
                                float depthOffset, float sunLightRadius)
{
    ShadowProjection result;
    result.view = lightViewMatrix(basis);
    result.projection = orthographicLightProjection(sx, sy, halfSize, depthScale, depthOffset);
    result.viewProjection = multiply(result.projection, result.view);
    result.uvSpaceSunLightRadius = sunLightRadius / halfSize;
    return result;
}

}  // namespace

void frustumSliceCorners(Float3 eye, Float3 forward, const Float3 cornerRays[4], float nearDepth, float farDepth,
                         Float3 corners[8])
{
    // The four rays of a symmetric frustum share one depth along the viewing direction.
    float rayDepth = dot(cornerRays[0], forward);
    // A camera whose frustum was never built has zero rays; its slice shrinks to the eye rather
    // than to infinities that would poison every matrix made from it.
    if (!(std::fabs(rayDepth) > 1.0e-6f)) {
        for (int i = 0; i < 8; ++i)
            corners[i] = eye;
        return;
    }
    for (int i = 0; i < 4; ++i) {
        corners[i] = eye + cornerRays[i] * (nearDepth / rayDepth);
        corners[4 + i] = eye + cornerRays[i] * (farDepth / rayDepth);
    }
}

float snapToGrid(float value, float step)
{
    return std::floor(value / step) * step;
}

ShadowProjection cascadeShadowProjection(const SunLightBasis& basis, const BoundingSphere& sphere, float sunLightRadius)
{
    float r = std::fmax(sphere.radius, minimumHalfSize);
    float step = 2.0f * r / 512.0f;
    float sx = snapToGrid(dot(basis.v, sphere.center), step);
    float sy = snapToGrid(dot(basis.u, sphere.center), step);
    // View-space z is -d . p, so z' = 0.002 d . p: light depths -500..500 become -1..1.
    return makeProjection(basis, sx, sy, r, -0.002f, 0.0f, sunLightRadius);
}

ShadowProjection overlappedShadowProjection(const SunLightBasis& basis, Float3 cameraPosition, float halfSize,
                                            float sunLightRadius)
{
    float s = std::fmax(halfSize, minimumHalfSize);
    float step = 2.0f * s / 512.0f;
    float sx = snapToGrid(dot(basis.v, cameraPosition), step);
    float sy = snapToGrid(dot(basis.u, cameraPosition), step);
    // z' = 0.008 d . p + 0.2: light depths -150..100 become -1..1.
    return makeProjection(basis, sx, sy, s, -0.008f, 0.2f, sunLightRadius);
}

}  // namespace Orvanta
