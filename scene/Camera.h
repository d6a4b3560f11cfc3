#pragma once
#include "scene/MovableEntity.h"

namespace Orvanta {

// A positioned perspective camera. It looks along its local +z axis with local +y up; its eye
// space is OpenGL's (looking down -z). The matrices and the frustum follow the pose only when the
// owner calls updateMatrices().
class Camera : public MovableEntity {
public:
    Camera() = default;

    // Rebuilds projectionMatrix, viewMatrix, viewProjectionMatrix and frustum from the current
    // world pose and the four projection values.
    void updateMatrices();

    // Zero planes and corner rays until the first updateMatrices().
    Frustum frustum;
    // Vertical field of view in degrees. Every owner sets the four projection values before the
    // first matrix update; these defaults only keep an unconfigured camera well-defined.
    float fieldOfView = 60.0f;
    float aspectRatio = 1.0f;
    float nearDistance = 0.1f;
    float farDistance = 1000.0f;
    Matrix4 projectionMatrix;
    Matrix4 viewMatrix;
    Matrix4 viewProjectionMatrix;
};

}  // namespace Orvanta
