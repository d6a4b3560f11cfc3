#pragma once
#include <cstdint>
#include <functional>

namespace Orvanta {

class Camera;

// Fly-camera constants: movement speed in scene units per second, mouse-look radians per pixel,
// and the window point the cursor is recentred to after every look-mode measurement (unless a
// smaller window needs another, see setMouseRecentre).
constexpr float cameraMoveSpeed = 3.0f;
constexpr float mouseLookSensitivity = 0.005f;
constexpr int mouseRecentreX = 300;
constexpr int mouseRecentreY = 300;

// Mouse state of the controls; the overlay's control panel embeds it as its first members.
struct MouseLookState {
    // Cursor offset from the recentring point measured by the last mouse step; 0 when nothing was
    // measured (UI mode, or the step cleared it).
    int32_t mouseDeltaX = 0;
    int32_t mouseDeltaY = 0;
    // False: the cursor is hidden and the mouse looks around. True: the cursor is shown and the
    // mouse operates the panel.
    bool uiMode = false;
    // Makes F1 act once per press. The program has one such state (inside the control panel
    // singleton), so this is the process-wide flag; keeping it here lets tests start fresh.
    bool f1WasDown = false;
    // The window point the cursor is recentred to in look mode.
    int32_t recentreX = mouseRecentreX;
    int32_t recentreY = mouseRecentreY;
};

// Puts the state into look mode with nothing measured, and moves the cursor to the recentring
// point and hides it, before any input is polled.
void startMouseLook(MouseLookState& state);

// The keyboard step: moves the camera with W/A/S/D or the arrow keys by cameraMoveSpeed *
// elapsedSeconds per held key (held keys add up), turns it by the delta the last mouse step
// measured (yaw about world +y, then pitch about the camera's right axis), then updates its
// matrices. Polls platformInput().
void applyKeyboardAndLook(Camera& camera, const MouseLookState& state, float elapsedSeconds);

// The mouse step: clears the delta, toggles UI mode on an F1 press (showing the cursor when
// entering, hiding and recentring it when leaving), then either runs interactWithPanel (UI mode)
// or measures the cursor's offset from the recentring point and moves the cursor back there.
// An empty interactWithPanel is allowed and does nothing.
void handleMouse(MouseLookState& state, const std::function<void()>& interactWithPanel);

// Moves the recentring point (a window smaller than the usual point needs one inside it) and, in
// look mode, the cursor to it, so that the next measurement starts from there; clears the delta.
// The cursor's new place may reach the input only with the next messages, so no measurement
// should follow in the same frame.
void setMouseRecentre(MouseLookState& state, int32_t x, int32_t y);

}  // namespace Orvanta
