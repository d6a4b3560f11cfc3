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

// Where the switch states live: the overlay's control panel implements this and attaches itself
// to the renderer, which keeps no copy and asks again at every test.
class FeatureSwitchSource {
public:
    virtual ~FeatureSwitchSource() = default;
    virtual bool featureOn(FeatureSwitch feature) const = 0;
    // Leaves the switch in the given state as a click on its check box would: the switches that
    // depend on it follow (light propagation volumes carries both propagation switches along).
    virtual void setFeature(FeatureSwitch feature, bool on) = 0;
};

}  // namespace Orvanta
