#pragma once
#include <cstdint>
#include <vector>

namespace Orvanta {

class Texture2D;

// Panel positions are client-area pixels, origin top-left, y down; the window sits at the screen
// origin, so they are also the screen positions the mouse step reads.

// A horizontal slider: the track runs from x to x + width along the centre line y.
struct Slider {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t width = 0;
    float minValue = 0.0f;
    float maxValue = 0.0f;
    float value = 0.0f;
    Texture2D* icon = nullptr;  // label image, drawn left of the track
};

// A check box: its left edge is x, its centre line y.
struct CheckBox {
    int32_t x = 0;
    int32_t y = 0;
    bool isOn = true;
    Texture2D* icon = nullptr;  // label image, drawn left of the box
    // Indices (into the same panel's check boxes) of the boxes that take this box's new state
    // whenever it changes. Indices rather than pointers keep them valid when the list grows.
    std::vector<int> dependents;
};

// Pixel column of the slider's knob: the value's place along the track, truncated toward zero.
int32_t knobX(const Slider& slider);

// The value under cursor column px while dragging: px is clamped to the track, so dragging past
// either end pins the value at its minimum or maximum.
float sliderValueAt(const Slider& slider, int32_t px);

}  // namespace Orvanta
