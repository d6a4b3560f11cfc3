#include "overlay/PanelControls.h"

#include <algorithm>

namespace Orvanta {

int32_t knobX(const Slider& slider)
{
    float fraction = (slider.value - slider.minValue) / (slider.maxValue - slider.minValue);
    return slider.x + static_cast<int32_t>(fraction * static_cast<float>(slider.width));
}

float sliderValueAt(const Slider& slider, int32_t px)
{
    // A signed clamp: a cursor left of the screen's origin (a monitor placed left of the primary
    // one) has a negative x and must pin the value at the minimum, not wrap to the maximum.
    int64_t left = slider.x;
    int64_t right = left + slider.width;
    int64_t cx = std::clamp<int64_t>(px, left, right);
    if (slider.width == 0)
        return slider.minValue;
    float f = static_cast<float>(cx - left) / static_cast<float>(slider.width);
    return slider.minValue * (1.0f - f) + f * slider.maxValue;
}

}  // namespace Orvanta
