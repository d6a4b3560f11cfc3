#pragma once
#include "renderer/ShadowProjection.h"
#include "scene/Camera.h"

namespace Orvanta {

// The direction a camera looks in world space: its local +z turned by its orientation (eye space
// looks down -z, so this is where the frustum's corner rays point).
Float3 viewingDirection(const Camera& camera);

// The cascade covering the slice of the camera's view frustum between two view depths.
ShadowProjection cascadeShadowProjectionFor(const Camera& viewCamera, const SunLightBasis& basis,
    float nearSplit, float farSplit, float sunLightRadius);

// Gives a shadow camera the map's projection, view and projection-times-view matrices and the
// frustum of the latter, which the next visibility update culls the shadow casters with. The
// camera's own updateMatrices() must not be called afterwards: it would rebuild a perspective.
void placeShadowCamera(Camera& shadowCamera, const ShadowProjection& projection);

}  // namespace Orvanta
