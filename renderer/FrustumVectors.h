#pragma once
#include "scene/Math.h"

namespace Orvanta {

class Camera;

// The camera frustum's four corner rays, each scaled so that its component along the viewing
// direction is 1: a point at eye depth z lies at camera position + z * ray. Order: top-left,
// top-right, bottom-left, bottom-right (the frustum's own order).
struct FrustumVectors {
    Float3 topLeft;
    Float3 topRight;
    Float3 bottomLeft;
    Float3 bottomRight;
};

// The direction the camera looks in, in world space (its local +z).
Float3 viewingDirection(const Camera& camera);
FrustumVectors unitDepthFrustumVectors(const Camera& camera);

}  // namespace Orvanta
