#pragma once

namespace Orvanta {

// Renderer settings the panel has no check box for: parts of a feature that can be switched off
// on their own so that what they add can be measured (orvanta-render --set NAME=0|1). All but the
// irradiance probes start on.
enum RenderSetting {
    LpvOcclusion = 0,  // the propagation's geometry volume blocks flux where surfaces are
    AntiAliasing = 1,  // anti-aliasing as a whole: off draws every frame unjittered and unsmoothed
    Refraction = 2,    // ray-traced refraction through glass and water
    // With antiAliasing on: jittered frames averaged over time; off: the post-process edge
    // smoothing of the tone-mapped frame alone.
    TemporalAntiAliasing = 3,
    // Diffuse light from ray-traced irradiance probes near the camera in place of the sky lighting
    // and the propagation volumes' diffuse light there (renderer/IrradianceProbeSet.h); off by
    // default, the demo's key I switches it.
    IrradianceProbes = 4,
    RenderSettingCount = 5,
};

// The setting's command-line name ("lpvOcclusion", "antiAliasing", "refraction",
// "temporalAntiAliasing", "irradianceProbes"); null out of range.
const char* renderSettingName(int index);
// The index of a name, or -1.
int findRenderSetting(const char* name);

// The state of every setting; a plain record the renderer keeps and tools fill.
struct RenderSettings {
    bool on[RenderSettingCount] = {true, true, true, true, false};
    bool operator[](RenderSetting setting) const { return on[setting]; }
};

}  // namespace Orvanta
