#pragma once
#include "renderer/PassContext.h"
#include "renderer/ShadowMapSet.h"

namespace Orvanta {

class Camera;
class SunLight;
struct SceneView;

// Place the cameras only: every cascade around its slice of the camera's view frustum, every
// overlapped map around the camera's position, all in the sun's light space.
void computeCascadedShadowCameras(ShadowMapSet& set, const SunLight& sun, const Camera& camera);
void computeOverlappedShadowCameras(ShadowMapSet& set, const SunLight& sun, const Camera& camera);

// Draws one map from its camera through the context's framebuffer stack (so whatever target was
// bound is bound again afterwards): both matrices are pushed and loaded from the camera, the map
// is cleared (colour 0 reads as "no occluder") and the camera's visible shadow casters are drawn
// (the scene's shadow z-fill passes). Matrices, clear colour and the bound target are as before
// afterwards.
void renderShadowMap(const PassContext& context, ShadowMapRecord& record);

// Called by the sun's main light pass: all five cascade cameras, then the five maps in order.
void updateCascadedShadowMaps(const PassContext& context, ShadowMapSet& set, const SunLight& sun, const Camera& camera);
// Called by the ray-traced sun light pass: the three overlapped cameras, then their maps.
void updateOverlappedShadowMaps(const PassContext& context, ShadowMapSet& set, const SunLight& sun,
                                const Camera& camera);

}  // namespace Orvanta
