#include "overlay/ControlPanel.h"

#include "gpu/Texture.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace Orvanta {

namespace {

const std::string uiImageDir = "resources/textures/UI/";

Texture2D* uiImage(const std::string& name)
{
    return getTexture(uiImageDir + name + ".tga", false);
}

struct SliderLayout {
    const char* image;
    int32_t x, y;
    float range;
};

// Sliders at x 200, one every 40 pixels; both tracks are 400 pixels long.
constexpr uint32_t sliderTrackWidth = 400;
const SliderLayout sliderLayouts[] = {
    {"timeOfDay", 200, 40, timeOfDayRange},
    {"sunInclination", 200, 80, sunInclinationRange},
};

// One box per feature switch, in switch order; the two propagation switches are indented under
// the light propagation volumes box, which carries them along.
struct CheckBoxLayout {
    const char* image;
    int32_t x, y;
};
const CheckBoxLayout checkBoxLayouts[FeatureSwitchCount] = {
    {"directLighting", 200, 120},       {"skyLighting", 200, 160},          {"lightPropagationVolumes", 200, 200},
    {"propagateSunLighting", 240, 240}, {"propagateSkyLighting", 240, 280}, {"SSAO", 200, 320},
    {"raytracing", 200, 360},
};

}  // namespace

ControlPanel::ControlPanel()
{
    startMouseLook(mouse);
}

bool ControlPanel::featureOn(FeatureSwitch feature) const
{
    size_t index = static_cast<size_t>(feature);
    return index < checkBoxes.size() && checkBoxes[index].isOn;
}

void ControlPanel::setFeature(FeatureSwitch feature, bool on)
{
    setCheckBox(*this, static_cast<int>(feature), on);
}

ControlPanel& controlPanel()
{
    static ControlPanel panel;
    return panel;
}

void setCheckBox(ControlPanel& panel, int index, bool on)
{
    if (index < 0 || index >= static_cast<int>(panel.checkBoxes.size()))
        return;
    CheckBox& box = panel.checkBoxes[static_cast<size_t>(index)];
    box.isOn = on;
    for (int dependent : box.dependents)
        if (dependent >= 0 && dependent < static_cast<int>(panel.checkBoxes.size()))
            panel.checkBoxes[static_cast<size_t>(dependent)].isOn = on;
}

void buildPanelControls(ControlPanel& panel, float timeOfDay, float inclination)
{
    const float values[2] = {timeOfDay, inclination};
    panel.sliders.clear();
    for (int i = 0; i < 2; ++i) {
        const SliderLayout& layout = sliderLayouts[i];
        Slider slider;
        slider.x = layout.x;
        slider.y = layout.y;
        slider.width = sliderTrackWidth;
        slider.minValue = -layout.range;
        slider.maxValue = layout.range;
        slider.value = values[i];
        panel.sliders.push_back(slider);
    }
    panel.checkBoxes.clear();
    for (const CheckBoxLayout& layout : checkBoxLayouts) {
        CheckBox box;
        box.x = layout.x;
        box.y = layout.y;
        box.isOn = true;
        panel.checkBoxes.push_back(box);
    }
    panel.checkBoxes[LightPropagationVolumes].dependents = {PropagateSunLighting, PropagateSkyLighting};
}

void loadPanelImages(ControlPanel& panel)
{
    for (size_t i = 0; i < panel.sliders.size() && i < std::size(sliderLayouts); ++i)
        panel.sliders[i].icon = uiImage(sliderLayouts[i].image);
    for (size_t i = 0; i < panel.checkBoxes.size() && i < std::size(checkBoxLayouts); ++i)
        panel.checkBoxes[i].icon = uiImage(checkBoxLayouts[i].image);
    panel.pressF1Texture = uiImage("pressF1");
    panel.screenshotSavedTexture = uiImage("screenshotSaved");
    panel.checkMarkTexture = uiImage("checkMark");
    panel.fpsTexture = uiImage("fps");
    for (int digit = 0; digit < 10; ++digit)
        panel.digitTextures[static_cast<size_t>(digit)] = uiImage(std::to_string(digit));
}

void loadPanel(ControlPanel& panel, Renderer& renderer)
{
    // The sliders start where the sun stands.
    buildPanelControls(panel, renderer.sun() ? renderer.sun()->timeOfDay : 0.0f,
                       renderer.sun() ? renderer.sun()->inclination : 0.0f);
    loadPanelImages(panel);
    renderer.attachFeatureSwitches(&panel);
    renderer.attachOverlay(&panel);
}

void setSunSliders(ControlPanel& panel, Renderer& renderer, float timeOfDay, float inclination)
{
    if (panel.sliders.size() < 2)
        return;
    Slider& time = panel.sliders[timeOfDaySlider];
    Slider& tilt = panel.sliders[sunInclinationSlider];
    time.value = std::clamp(timeOfDay, time.minValue, time.maxValue);
    tilt.value = std::clamp(inclination, tilt.minValue, tilt.maxValue);
    renderer.moveSun(time.value, tilt.value);
}

}  // namespace Orvanta
