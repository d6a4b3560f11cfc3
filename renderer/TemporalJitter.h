#pragma once
#include "renderer/FrustumVectors.h"

#include <cstdint>

namespace Orvanta {

// Sub-pixel offsets of the camera projection, one per frame, for the temporal resolve: the
// points 1 to 16 of the Halton sequence in bases 2 and 3, moved so that their mean is the pixel's
// centre. Sixteen frames cover the pixel's square evenly, so a still view's mean approaches its
// box filter.
struct PixelOffset {
    float x = 0.0f;
    float y = 0.0f;
};

constexpr uint32_t TemporalJitterPeriod = 16;

// The radical inverse of `index` in `base` (the digits mirrored about the point), in [0, 1).
float radicalInverse(uint32_t index, uint32_t base);
// The offset of frame `frame` (the sequence repeats after TemporalJitterPeriod frames), in
// pixels, each coordinate in (-0.5, 0.5); the offsets of one period sum to 0.
PixelOffset temporalJitter(uint32_t frame);

// The projection that moves the picture by `offset` pixels of a width x height target (+x right,
// +y up) for every depth: the clip-space translation folded into the projection's third column.
Matrix4 jitteredProjection(const Matrix4& projection, PixelOffset offset, int width, int height);
// The unit-depth corner rays of the frustum the jittered projection sees: each corner's pixel
// centre now shows what lay `offset` pixels toward the lower left, so every ray moves by that
// share of the frustum's width and height.
FrustumVectors jitteredFrustumVectors(const FrustumVectors& rays, PixelOffset offset, int width, int height);

}  // namespace Orvanta
