#pragma once
#include "renderer/LightPropagationVolumeSet.h"
#include "renderer/PassContext.h"

namespace Orvanta {

class GBufferInterface;
struct FrustumVectors;

// What a volume's update reads besides the set: the sun whose light is injected (null: none,
// the volumes keep their placement and nothing is injected from the map), the camera position the
// volumes snap to, and the switches of the two injections and of the occlusion.
struct VolumeUpdateInputs {
    const Light* sun = nullptr;
    Float3 cameraPosition;
    bool propagateSunLighting = true;
    bool propagateSkyLighting = true;
    bool occlusion = true;
};

// What drawing a volume's light reads: the G-buffer it lights (null: the rasterised one) and the
// camera's corner rays at unit depth, sent with the quad as every lighting quad carries them.
struct VolumeLightInputs {
    GBufferInterface* gBuffer = nullptr;
    const FrustumVectors* rays = nullptr;
};

// The steps of one volume's frame, drawn through the context's framebuffer stack, scene drawing
// and uniform values; each names the volume its programs read. Each leaves the GL state and both
// matrices as it found them.

// Snaps the volume's position to the camera and places its reflective-shadow-map camera and
// inverted matrix for the sun's direction.
void placeLightPropagationVolume(LightPropagationVolume& volume, Float3 sunDirection, Float3 cameraPosition);

// Renders the sunlit surfaces the map camera's view holds into the reflective shadow map.
void renderReflectiveShadowMap(const PassContext& context, LightPropagationVolumeSet& set, int index);

// Fills the accumulation volume with the injected lights: the sun
// points when propagateSunLighting is on, the sky points when propagateSkyLighting is on and the
// volume takes sky injection. With both off the volume is left empty.
void injectLights(const PassContext& context, LightPropagationVolumeSet& set, int index,
                  const VolumeUpdateInputs& inputs);

// Fills the volume's geometry volume anew: the blocking potential of every surface its reflective
// shadow map sees and of every surface the rasterised G-buffer holds (sampled on the geometry
// set's screen grid). The map must be rendered first.
void fillGeometryVolume(const PassContext& context, LightPropagationVolumeSet& set, int index,
                        const VolumeUpdateInputs& inputs);

// Propagation step `step` (from 0) from its source (sourceVolumeTarget) into A or B, then its
// addition into the accumulation volume. With occlusion on, the light crossing each face is held
// back by the geometry volume there; off, it crosses freely.
void propagateOneStep(const PassContext& context, LightPropagationVolumeSet& set, int index, unsigned step,
                      const VolumeUpdateInputs& inputs);

// The frame's update of every volume, stage by stage over all of them (the volumes are
// independent, so the frame times the stages apart): placement, maps and injection; the geometry
// volumes (run only with occlusion on); every propagation step.
void injectVolumeLights(const PassContext& context, LightPropagationVolumeSet& set, const VolumeUpdateInputs& inputs);
void fillGeometryVolumes(const PassContext& context, LightPropagationVolumeSet& set, const VolumeUpdateInputs& inputs);
void propagateVolumeLight(const PassContext& context, LightPropagationVolumeSet& set, const VolumeUpdateInputs& inputs);

// Adds the volume's light to the target on top of the framebuffer stack, for every pixel of the
// inputs' G-buffer (the caller's stencil decides which pixels are touched): the diffuse light,
// and the glossy reflections.
void drawVolumeDiffuse(const PassContext& context, LightPropagationVolumeSet& set, int index,
                       const VolumeLightInputs& inputs);
void drawVolumeGlossy(const PassContext& context, LightPropagationVolumeSet& set, int index,
                      const VolumeLightInputs& inputs);
// Every volume's diffuse light, then its glossy reflections where it has them.
void drawLightPropagationVolumes(const PassContext& context, LightPropagationVolumeSet& set,
                                 const VolumeLightInputs& inputs);
// The glossy reflections alone, of every volume that has them (for pixels whose diffuse light
// comes from elsewhere: the irradiance probes).
void drawLightPropagationGlossy(const PassContext& context, LightPropagationVolumeSet& set,
                                const VolumeLightInputs& inputs);

}  // namespace Orvanta
