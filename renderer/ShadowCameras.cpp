#include "renderer/ShadowCameras.h"

namespace Orvanta {

ShadowProjection cascadeShadowProjectionFor(const Camera& viewCamera, const SunLightBasis& basis, float nearSplit,
                                            float farSplit, float sunLightRadius)
{
    Float3 corners[8];
    frustumSliceCorners(viewCamera.position, viewingDirection(viewCamera), viewCamera.frustum.cornerRays, nearSplit,
                        farSplit, corners);
    BoundingSphere sphere = ritterBoundingSphere(corners, 8);
    return cascadeShadowProjection(basis, sphere, sunLightRadius);
}

void placeShadowCamera(Camera& shadowCamera, const ShadowProjection& projection)
{
    shadowCamera.projectionMatrix = projection.projection;
    shadowCamera.viewMatrix = projection.view;
    shadowCamera.viewProjectionMatrix = projection.viewProjection;
    shadowCamera.frustum = extractFrustum(projection.viewProjection);
}

}  // namespace Orvanta
