#include "overlay/OverlayLayout.h"

#include "overlay/ControlPanel.h"

namespace Orvanta {

namespace {

struct Rgba {
    float r, g, b, a;
};
constexpr Rgba panelBackground = {0.6f, 0.6f, 0.0f, 0.6f};
constexpr Rgba controlFill = {1.0f, 1.0f, 0.0f, 0.3f};
constexpr Rgba outlineColor = {1.0f, 1.0f, 0.0f, 1.0f};

// Panel extent, and the half sizes of the drawn controls.
constexpr float panelWidth = 620, panelHeight = 400;
constexpr float knobHalfWidth = 5, knobHalfHeight = 12;
constexpr float trackHalfHeight = 1;
constexpr float checkMarkSize = 16;
constexpr float labelWidth = 180, labelHalfHeight = 16;
// Frame counter: the "FPS" image, then digits of 12 x 16 pixels on a 13-pixel pitch.
constexpr float counterTop = 352, counterBottom = 368;
constexpr float fpsLeft = 480, fpsRight = 532;
constexpr float digitLeft = 540, digitWidth = 12, digitPitch = 13;
// The notice's image and its distance from the window's left and bottom edges.
constexpr float noticeWidth = 256, noticeHeight = 32, noticeInset = 8;

OverlayItem shape(OverlayItem::Kind kind, float x0, float y0, float x1, float y1, Rgba c)
{
    OverlayItem item;
    item.kind = kind;
    item.x0 = x0, item.y0 = y0, item.x1 = x1, item.y1 = y1;
    item.color[0] = c.r, item.color[1] = c.g, item.color[2] = c.b, item.color[3] = c.a;
    return item;
}

OverlayItem image(Texture2D* texture, float x0, float y0, float x1, float y1)
{
    OverlayItem item = shape(OverlayItem::TexturedQuad, x0, y0, x1, y1, {1, 1, 1, 1});
    item.texture = texture;
    return item;
}

// A translucent quad with an opaque outline around the same rectangle.
void outlinedQuad(std::vector<OverlayItem>& items, float x0, float y0, float x1, float y1)
{
    items.push_back(shape(OverlayItem::FilledQuad, x0, y0, x1, y1, controlFill));
    items.push_back(shape(OverlayItem::Outline, x0, y0, x1, y1, outlineColor));
}

// A label image ends where its control begins.
OverlayItem label(Texture2D* icon, float x, float y)
{
    return image(icon, x - labelWidth, y - labelHalfHeight, x, y + labelHalfHeight);
}

}  // namespace

std::vector<OverlayItem> lookModeItems(const ControlPanel& panel)
{
    return {image(panel.pressF1Texture, 0, 0, 256, 32)};
}

std::vector<OverlayItem> noticeItems(const ControlPanel& panel, int windowHeight)
{
    const float bottom = static_cast<float>(windowHeight) - noticeInset;
    return {image(panel.screenshotSavedTexture, noticeInset, bottom - noticeHeight, noticeInset + noticeWidth, bottom)};
}

std::vector<OverlayItem> uiModeItems(const ControlPanel& panel, const std::string& counterText)
{
    std::vector<OverlayItem> items;
    items.push_back(shape(OverlayItem::FilledQuad, 0, 0, panelWidth, panelHeight, panelBackground));
    // The left edge sits one pixel in so the line stays inside the window.
    items.push_back(shape(OverlayItem::Outline, 1, 0, panelWidth, panelHeight, outlineColor));

    for (const Slider& slider : panel.sliders) {
        float knob = static_cast<float>(knobX(slider));
        float x = static_cast<float>(slider.x);
        float y = static_cast<float>(slider.y);
        outlinedQuad(items, knob - knobHalfWidth, y - knobHalfHeight, knob + knobHalfWidth, y + knobHalfHeight);
        outlinedQuad(items, x, y - trackHalfHeight, x + static_cast<float>(slider.width), y + trackHalfHeight);
        items.push_back(label(slider.icon, x, y));
    }
    for (const CheckBox& box : panel.checkBoxes) {
        float x = static_cast<float>(box.x);
        float y = static_cast<float>(box.y);
        float half = checkMarkSize / 2;
        if (box.isOn)
            items.push_back(image(panel.checkMarkTexture, x, y - half, x + checkMarkSize, y + half));
        items.push_back(shape(OverlayItem::Outline, x, y - half, x + checkMarkSize, y + half, outlineColor));
        items.push_back(label(box.icon, x, y));
    }

    items.push_back(image(panel.fpsTexture, fpsLeft, counterTop, fpsRight, counterBottom));
    float left = digitLeft;
    for (char c : counterText) {
        if (c >= '0' && c <= '9')
            items.push_back(image(panel.digitTextures[static_cast<size_t>(c - '0')], left, counterTop,
                                  left + digitWidth, counterBottom));
        left += digitPitch;
    }
    return items;
}

}  // namespace Orvanta
