#include "renderer/TemporalJitter.h"

namespace Orvanta {

float radicalInverse(uint32_t index, uint32_t base)
{
    const float inverseBase = 1.0f / static_cast<float>(base);
    float digitWeight = inverseBase;
    float result = 0.0f;
    while (index > 0) {
        result += static_cast<float>(index % base) * digitWeight;
        index /= base;
        digitWeight *= inverseBase;
    }
    return result;
}

PixelOffset temporalJitter(uint32_t frame)
{
    // Index 0 of the sequence is the corner (0, 0): points 1 to 16 are used. Their mean lies a
    // little below and left of the pixel's centre ((0.471, 0.463)); every point is moved by the
    // difference, so that a converged still picture is not shifted against the pixel grid.
    static const PixelOffset mean = [] {
        PixelOffset sum;
        for (uint32_t index = 1; index <= TemporalJitterPeriod; ++index) {
            sum.x += radicalInverse(index, 2);
            sum.y += radicalInverse(index, 3);
        }
        return PixelOffset{sum.x / TemporalJitterPeriod, sum.y / TemporalJitterPeriod};
    }();
    const uint32_t index = frame % TemporalJitterPeriod + 1;
    return {radicalInverse(index, 2) - mean.x, radicalInverse(index, 3) - mean.y};
}

Matrix4 jitteredProjection(const Matrix4& projection, PixelOffset offset, int width, int height)
{
    // Clip x' = x + dx * w moves normalised device x by dx for every depth; w is row 3, so the
    // shift adds dx times row 3 to row 0 (and dy times it to row 1) in every column.
    const float dx = 2.0f * offset.x / static_cast<float>(width);
    const float dy = 2.0f * offset.y / static_cast<float>(height);
    Matrix4 result = projection;
    for (int column = 0; column < 4; ++column) {
        result[column * 4 + 0] += dx * projection[column * 4 + 3];
        result[column * 4 + 1] += dy * projection[column * 4 + 3];
    }
    return result;
}

FrustumVectors jitteredFrustumVectors(const FrustumVectors& rays, PixelOffset offset, int width, int height)
{
    // Across the frustum a ray changes by (topRight - topLeft) over the full width, which is
    // 2 in device units; a picture moved by +dx device units shows at a pixel what the unmoved
    // one showed dx to the left.
    const float dx = 2.0f * offset.x / static_cast<float>(width);
    const float dy = 2.0f * offset.y / static_cast<float>(height);
    const Float3 shift = (rays.topRight - rays.topLeft) * (-0.5f * dx) +
                         (rays.topLeft - rays.bottomLeft) * (-0.5f * dy);
    return {rays.topLeft + shift, rays.topRight + shift, rays.bottomLeft + shift, rays.bottomRight + shift};
}

}  // namespace Orvanta
