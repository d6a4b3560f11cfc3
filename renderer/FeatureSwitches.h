#pragma once

namespace Orvanta {

// The seven rendering features the overlay's check boxes switch, by index. The frame reads them
// afresh at every test; all start on.
enum FeatureSwitch {
    DirectLighting = 0,
    SkyLighting = 1,
    LightPropagationVolumes = 2,
    PropagateSunLighting = 3,
    PropagateSkyLighting = 4,
    Ssao = 5,
    Raytracing = 6,
    FeatureSwitchCount = 7,
};

// The check-box names as the panel labels them ("directLighting", ..., "raytracing"); null for
// an index out of range.
const char* featureSwitchName(int index);
// The index of a name, or -1.
int findFeatureSwitch(const char* name);

}  // namespace Orvanta
