#include "renderer/StartCamera.h"

#include "scene/Camera.h"

namespace Orvanta {

void placeAtStartView(Camera& camera, float aspectRatio)
{
    camera.fieldOfView = 60.0f;
    camera.aspectRatio = aspectRatio;
    camera.nearDistance = 0.1f;
    camera.farDistance = 10000.0f;
    camera.setPosition(kStartCameraPosition);
    camera.setOrientation(kStartCameraOrientation);
    camera.updateTransform();
    camera.updateMatrices();
}

}  // namespace Orvanta
