#pragma once
#include "renderer/ShadowMapSet.h"

#include <functional>

namespace Orvanta {

class Camera;
class SunLight;
struct SceneView;

// What a shadow pass needs of the renderer: its framebuffer stack (so whatever target the light
// pass had bound is bound again afterwards) and the drawing of a view's shadow casters with the
// shadow z-fill programs (drawScene with the shadow z-fill kind).
struct ShadowPassHooks {
    std::function<void(FrameBuffer&)> pushFrameBuffer;
    std::function<void()> popFrameBuffer;
    std::function<void(SceneView&)> drawShadowCasters;
};

// Place the cameras only: every cascade around its slice of the camera's view frustum, every
// overlapped map around the camera's position, all in the sun's light space.
void computeCascadedShadowCameras(ShadowMapSet& set, const SunLight& sun, const Camera& camera);
void computeOverlappedShadowCameras(ShadowMapSet& set, const SunLight& sun, const Camera& camera);

// Draws one map from its camera: both matrices are pushed and loaded from the camera, the map is
// cleared (colour 0 reads as "no occluder") and the camera's visible shadow casters are drawn.
// Matrices, clear colour and the bound target are as before afterwards.
void renderShadowMap(ShadowMapRecord& record, const ShadowPassHooks& hooks);

// Called by the sun's main light pass: all five cascade cameras, then the five maps in order.
void updateCascadedShadowMaps(ShadowMapSet& set, const SunLight& sun, const Camera& camera,
    const ShadowPassHooks& hooks);
// Called by the ray-traced sun light pass: the three overlapped cameras, then their maps.
void updateOverlappedShadowMaps(ShadowMapSet& set, const SunLight& sun, const Camera& camera,
    const ShadowPassHooks& hooks);

}  // namespace Orvanta
