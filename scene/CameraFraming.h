#pragma once
#include "scene/Math.h"

namespace Orvanta {

class Camera;

// Places a camera so that it sees the whole box (boxMin, boxMax), standing on the side the light
// comes from so that the faces it sees are lit. The camera looks at the box's centre from above,
// along lightDirection's horizontal part reversed, lifted by a fixed elevation; it keeps its
// projection values (field of view, aspect ratio, near and far) and stands just far enough back
// for all eight corners to lie inside the picture with a small margin, and the whole box beyond
// the near plane. A vertical light (no horizontal part) views from -z. Updates the camera's transform and matrices.
// Returns false, leaving the camera as it was, when the box is empty (a minimum above its maximum
// on some axis, as an empty scene's box is) or not finite.
bool frameBox(Camera& camera, Float3 boxMin, Float3 boxMax, Float3 lightDirection);

}  // namespace Orvanta
