#include "overlay/PanelInteraction.h"

#include "overlay/ControlPanel.h"
#include "platform/Input.h"
#include "renderer/Renderer.h"

#include <cstdlib>

namespace Orvanta {

namespace {

// How far from a control a press still hits it.
constexpr int32_t knobHalfWidth = 5;
constexpr int32_t knobHalfHeight = 15;
constexpr int32_t checkBoxHitWidth = 20;
constexpr int32_t checkBoxHalfHeight = 10;

int sliderUnder(const ControlPanel& panel, int32_t px, int32_t py)
{
    for (size_t i = 0; i < panel.sliders.size(); ++i) {
        const Slider& slider = panel.sliders[i];
        if (std::abs(px - knobX(slider)) <= knobHalfWidth && std::abs(py - slider.y) <= knobHalfHeight)
            return static_cast<int>(i);
    }
    return -1;
}

int checkBoxUnder(const ControlPanel& panel, int32_t px, int32_t py)
{
    for (size_t i = 0; i < panel.checkBoxes.size(); ++i) {
        const CheckBox& box = panel.checkBoxes[i];
        if (px >= box.x && px <= box.x + checkBoxHitWidth && std::abs(py - box.y) <= checkBoxHalfHeight)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool operatePanel(ControlPanel& panel)
{
    InputSource& input = platformInput();
    if (!input.queryKey(Key::LeftButton)) {
        panel.draggedSlider = -1;
        panel.pressHandled = false;
        return false;
    }
    int px = 0, py = 0;
    input.cursorPosition(px, py);

    if (panel.draggedSlider >= 0 && panel.draggedSlider < static_cast<int>(panel.sliders.size())) {
        Slider& slider = panel.sliders[static_cast<size_t>(panel.draggedSlider)];
        slider.value = sliderValueAt(slider, px);
        panel.pressHandled = true;
        return true;
    }
    if (!panel.pressHandled) {
        // The button went down this frame.
        panel.draggedSlider = sliderUnder(panel, px, py);
        int box = checkBoxUnder(panel, px, py);
        if (box >= 0)
            setCheckBox(panel, box, !panel.checkBoxes[static_cast<size_t>(box)].isOn);
        panel.pressHandled = true;
    }
    return false;
}

void interact(ControlPanel& panel, Renderer& renderer)
{
    if (operatePanel(panel) && panel.sliders.size() >= 2)
        renderer.moveSun(panel.sliders[timeOfDaySlider].value, panel.sliders[sunInclinationSlider].value);
}

void handleMouse(ControlPanel& panel, Renderer& renderer)
{
    handleMouse(panel.mouse, [&panel, &renderer] { interact(panel, renderer); });
}

}  // namespace Orvanta
