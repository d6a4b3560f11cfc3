#pragma once
#include "overlay/FrameCounter.h"
#include "overlay/PanelControls.h"
#include "renderer/FeatureSwitches.h"
#include "renderer/FrameOverlay.h"
#include "scene/InputControls.h"

#include <array>
#include <vector>

namespace Orvanta {

class Renderer;
class Texture2D;

// The panel the user operates in UI mode (F1): two sun sliders, the seven feature check boxes
// and the frame counter; in look mode only the F1 hint. Its check boxes are the renderer's
// feature switches (by index, in creation order) and nothing else holds their state.
class ControlPanel final : public FeatureSwitchSource, public FrameOverlay {
public:
    // Puts the mouse into look mode: the cursor is moved to the recentring point and hidden.
    ControlPanel();
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    // The controls' mouse state comes first.
    MouseLookState mouse;

    std::vector<Slider> sliders;
    std::vector<CheckBox> checkBoxes;
    Texture2D* pressF1Texture = nullptr;
    Texture2D* screenshotSavedTexture = nullptr;
    Texture2D* checkMarkTexture = nullptr;
    Texture2D* fpsTexture = nullptr;
    std::array<Texture2D*, 10> digitTextures{};

    // The interaction's state: the slider being dragged (-1: none) and whether the current press
    // has been handled (one toggle per click). The program has one panel, so these are its
    // process-wide values; keeping them here lets tests start fresh.
    int draggedSlider = -1;
    bool pressHandled = false;
    FrameCounter frameCounter;
    // While shown, the "screenshot saved" notice is drawn over both modes until
    // kScreenshotNoticeMilliseconds after the tick it was shown at.
    bool noticeShown = false;
    uint32_t noticeTick = 0;

    // FeatureSwitchSource: box `feature`'s isOn; false for a box the panel does not have.
    bool featureOn(FeatureSwitch feature) const override;
    // Sets the box and its dependents, as a click that leaves it in that state does.
    void setFeature(FeatureSwitch feature, bool on) override;
    // FrameOverlay: the hint in look mode, the panel and the counter in UI mode; over either the
    // "screenshot saved" notice while it is shown.
    void drawOverlay(const OverlayTarget& target) override;
};

// The program's panel, created on first use.
ControlPanel& controlPanel();

// Builds the panel's sliders (their values read from the renderer's sun), check boxes (all on)
// and images, and attaches the panel to the renderer as its feature switches and overlay. Call
// once, after the renderer is set up. A missing image is reported by the texture loader and
// drawn as its white stand-in; the controls work regardless. The panel must stay alive while it
// is attached (attach null to detach).
void loadPanel(ControlPanel& panel, Renderer& renderer);

// The two steps of loadPanel that need no renderer: the controls in switch order with the
// sliders at the given values and every box on, then their images (needs a GL context).
void buildPanelControls(ControlPanel& panel, float timeOfDay, float inclination);
void loadPanelImages(ControlPanel& panel);

// Sets a check box to a state; every dependent takes the same state. Out-of-range is ignored.
void setCheckBox(ControlPanel& panel, int index, bool on);

// Moves both sun sliders (each value clamped to its range) and the sun to match them. Used by
// tools that place the sun; the panel's own drags go through interact.
void setSunSliders(ControlPanel& panel, Renderer& renderer, float timeOfDay, float inclination);

// Shows the "screenshot saved" notice from the current tick on, for kScreenshotNoticeMilliseconds.
void showScreenshotNotice(ControlPanel& panel);
constexpr uint32_t kScreenshotNoticeMilliseconds = 2000;

// The panel's layout.
constexpr int timeOfDaySlider = 0;
constexpr int sunInclinationSlider = 1;
constexpr float timeOfDayRange = 2.07f;       // -2.07 .. 2.07 radians
constexpr float sunInclinationRange = 1.57f;  // -1.57 .. 1.57 radians

}  // namespace Orvanta
