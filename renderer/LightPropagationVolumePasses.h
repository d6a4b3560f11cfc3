#pragma once
#include "renderer/LightPropagationVolumeSet.h"

namespace Orvanta {

class Renderer;

// The steps of one volume's frame, drawn through the renderer's framebuffer stack, scene drawing
// and uniform supply. Each makes the volume the set's current one first (the LPV semantics read
// it) and leaves the GL state and both matrices as it found them.

// Snaps the volume's position to the camera and places its reflective-shadow-map camera and
// inverted matrix for the sun's direction.
void placeLightPropagationVolume(LightPropagationVolume& volume, Float3 sunDirection, Float3 cameraPosition);

// Renders the sunlit surfaces the map camera's view holds into the reflective shadow map.
void renderReflectiveShadowMap(Renderer& renderer, LightPropagationVolumeSet& set, int index);

// Resets the step counter and fills the accumulation volume with the injected lights: the sun
// points when propagateSunLighting is on, the sky points when propagateSkyLighting is on and the
// volume takes sky injection. With both off the volume is left empty.
void injectLights(Renderer& renderer, LightPropagationVolumeSet& set, int index);

// Fills the volume's geometry volume anew: the blocking potential of every surface its reflective
// shadow map sees and of every surface the renderer's current G-buffer holds (sampled on the
// geometry set's screen grid). The map must be rendered first.
void fillGeometryVolume(Renderer& renderer, LightPropagationVolumeSet& set, int index);

// One propagation step from the source the step counter selects into A or B, then its addition
// into the accumulation volume. With the lpvOcclusion setting on, the light crossing each face is
// held back by the geometry volume there; off, it crosses freely.
void propagateOneStep(Renderer& renderer, LightPropagationVolumeSet& set, int index);

// The whole update of one volume: placement, map, injection, the geometry volume (with
// lpvOcclusion on) and every propagation step.
void updateLightPropagationVolume(Renderer& renderer, LightPropagationVolumeSet& set, int index);

// Adds the volume's light to the target on top of the framebuffer stack, for every pixel of the
// renderer's current G-buffer (the caller's stencil decides which pixels are touched): the diffuse
// light, and the glossy reflections.
void drawVolumeDiffuse(Renderer& renderer, LightPropagationVolumeSet& set, int index);
void drawVolumeGlossy(Renderer& renderer, LightPropagationVolumeSet& set, int index);

}  // namespace Orvanta
