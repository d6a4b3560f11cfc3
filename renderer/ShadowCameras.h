#pragma once
#include "renderer/FrustumVectors.h"
#include "renderer/ShadowProjection.h"
#include "scene/Camera.h"

namespace Orvanta {

// The slices lie along viewingDirection (FrustumVectors.h): the camera's local +z turned by its
// orientation, where eye space's -z and the frustum's corner rays point.
// The cascade covering the slice of the camera's view frustum between two view depths.
ShadowProjection cascadeShadowProjectionFor(const Camera& viewCamera, const SunLightBasis& basis, float nearSplit,
                                            float farSplit, float sunLightRadius);

// Gives a shadow camera the map's projection, view and projection-times-view matrices and the
// frustum of the latter, which the next visibility update culls the shadow casters with. The
// camera's own updateMatrices() must not be called afterwards: it would rebuild a perspective.
void placeShadowCamera(Camera& shadowCamera, const ShadowProjection& projection);

}  // namespace Orvanta
