#pragma once
#include "scene/Camera.h"
#include "scene/SceneView.h"

namespace Orvanta {

// A camera that is also its own scene view: what every render pass draws through.
class RenderCamera : public Camera, public SceneView {
public:
    RenderCamera() : Camera(), SceneView(this) {}
};

}  // namespace Orvanta
