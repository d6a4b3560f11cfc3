#include "renderer/FrustumVectors.h"

#include "scene/Camera.h"

namespace Orvanta {

Float3 viewingDirection(const Camera& camera)
{
    return rotate(camera.orientation, {0.0f, 0.0f, 1.0f});
}

FrustumVectors unitDepthFrustumVectors(const Camera& camera)
{
    const Float3* rays = camera.frustum.cornerRays;
    // All four rays share the top-left ray's depth (the frustum is symmetric), so one divisor
    // brings each to unit depth; its sign also turns rays that the plane cross products made
    // point backward toward the front.
    float depth = dot(rays[Frustum::TopLeft], viewingDirection(camera));
    if (depth == 0.0f)
        return {};
    return {rays[Frustum::TopLeft] / depth, rays[Frustum::TopRight] / depth, rays[Frustum::BottomLeft] / depth,
            rays[Frustum::BottomRight] / depth};
}

}  // namespace Orvanta
