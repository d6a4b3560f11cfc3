#pragma once

namespace Orvanta {

class Scene;

// Refreshes the visible and ray-traced sets of every view registered with the scene, in
// registration order: an instance is visible when its box meets the view's frustum (sky-pass
// objects always are), and ray-traced when its object has a ray-casting pass.
void updateVisibleSets(Scene& scene);

}  // namespace Orvanta
