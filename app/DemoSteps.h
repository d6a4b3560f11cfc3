#pragma once
#include "app/MainLoop.h"
#include "app/ReferenceView.h"
#include "app/Screenshot.h"
#include "renderer/PassTimer.h"

#include <cstdint>
#include <memory>

namespace Orvanta {

struct CameraPath;
class ControlPanel;
class FrameTimings;
class Renderer;

// The main loop's steps on the demo's subsystems: the controls (or a flown camera path), the
// visibility update, the mouse, the audio, and the frame with its keys: F2 toggles the reference
// view, F5 records the camera's pose, F12 saves a screenshot. Every key acts once per press.
class DemoSteps final : public MainLoopSteps {
public:
    // Draws through the renderer with the panel as its overlay (wrapped for the screenshots while
    // the steps live); with audio on, the listener follows the camera.
    DemoSteps(Renderer& renderer, ControlPanel& panel, bool audio);
    ~DemoSteps() override;
    DemoSteps(const DemoSteps&) = delete;
    DemoSteps& operator=(const DemoSteps&) = delete;

    // Flies the path instead of following the controls (see OrvantaApplication::flyPath).
    void flyPath(const CameraPath& path, FrameTimings* timings);
    // True once the frame at the path's last key has been drawn.
    bool flightDone() const { return flightEnded; }

    uint32_t ticks() override;
    void applyKeyboardControls() override;
    void updateVisibleSets() override;
    void handleMouse() override;
    void updateAudio() override;
    bool escapePressed() override;
    void renderFrame() override;
    bool pumpMessages() override;

private:
    // True on the frame a key goes down.
    bool pressed(int index, bool down);
    void recordPose();
    void saveCapturedFrame();

    Renderer& renderer;
    ControlPanel& panel;
    bool audioOn = false;
    ReferenceView referenceView;
    CapturingOverlay capture;
    bool keysWereDown[4] = {false, false, false, false};
    // The flown path: its time at the current frame, the tick its clock started at (once the first
    // frame was presented).
    const CameraPath* flight = nullptr;
    FrameTimings* timings = nullptr;
    std::unique_ptr<PassTimer> passTimer;
    bool flightStarted = false;
    uint32_t flightStartTick = 0;
    double flightTime = 0.0;
    bool lastFlightFrame = false;
    bool flightEnded = false;
};

}  // namespace Orvanta
