#pragma once
#include "renderer/BoundingSphere.h"
#include "renderer/SunLightBasis.h"
#include "scene/Math.h"

namespace Orvanta {

// The matrices of one sun shadow map and the sun's radius in the map's clip-space xy units.
struct ShadowProjection {
    Matrix4 projection;
    Matrix4 view;
    Matrix4 viewProjection;
    float uvSpaceSunLightRadius = 0.0f;
};

// The eight corners of the slice of a view frustum between two view depths: the four near corners,
// then the four far ones, each top-left, top-right, bottom-left, bottom-right. cornerRays are the
// frustum's side-edge directions in that order; forward is the direction the camera looks.
void frustumSliceCorners(Float3 eye, Float3 forward, const Float3 cornerRays[4], float nearDepth, float farDepth,
                         Float3 corners[8]);

// Snaps a light-space coordinate down to the grid of the given step, so that the map's texel grid
// stays fixed in world space while its centre follows the camera.
float snapToGrid(float value, float step);

// Cascade covering a bounding sphere: snapped on a grid of 2r / 512 (four texels of a 2048 map),
// x and y spanning the snapped centre +- r, light depths -500..500 mapped to -1..1, and the sun's
// radius as sunLightRadius / r.
ShadowProjection cascadeShadowProjection(const SunLightBasis& basis, const BoundingSphere& sphere,
                                         float sunLightRadius);

// Square of half-size s around the camera position: snapped on a grid of 2s / 512 (one texel of a
// 512 map), light depths -150..100 mapped to -1..1, and the sun's radius as sunLightRadius / s.
ShadowProjection overlappedShadowProjection(const SunLightBasis& basis, Float3 cameraPosition, float halfSize,
                                            float sunLightRadius);

}  // namespace Orvanta
