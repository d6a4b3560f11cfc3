#include "scene/InputControls.h"

#include "platform/Input.h"
#include "scene/Camera.h"

namespace Orvanta {

void startMouseLook(MouseLookState& state)
{
    state = MouseLookState{};
    InputSource& input = platformInput();
    input.setCursorPosition(mouseRecentreX, mouseRecentreY);
    input.showCursor(false);
}

namespace {

// Both keys are queried every frame so neither keeps a stale "pressed since" latch.
bool eitherPressed(InputSource& input, Key letter, Key arrow)
{
    bool letterPressed = input.queryKey(letter);
    bool arrowPressed = input.queryKey(arrow);
    return letterPressed || arrowPressed;
}

Float3 forwardOf(const Camera& camera)
{
    return rotate(camera.orientation, {0, 0, 1});
}

Float3 rightOf(const Camera& camera)
{
    Float3 up = rotate(camera.orientation, {0, 1, 0});
    return normalize(cross(forwardOf(camera), up));
}

// Each move re-reads the current pose, so simultaneous keys add up.
void moveBy(Camera& camera, Float3 offset)
{
    camera.setPosition(camera.position + offset);
    camera.updateTransform();
}

}  // namespace

void applyKeyboardAndLook(Camera& camera, const MouseLookState& state, float elapsedSeconds)
{
    InputSource& input = platformInput();
    float step = cameraMoveSpeed * elapsedSeconds;

    if (eitherPressed(input, Key::W, Key::Up))
        moveBy(camera, forwardOf(camera) * step);
    if (eitherPressed(input, Key::S, Key::Down))
        moveBy(camera, -forwardOf(camera) * step);
    if (eitherPressed(input, Key::A, Key::Left))
        moveBy(camera, -rightOf(camera) * step);
    if (eitherPressed(input, Key::D, Key::Right))
        moveBy(camera, rightOf(camera) * step);

    // Turning follows the pixel count, not the frame time. Yaw about world +y keeps the horizon
    // level; pitch uses the right axis of the already yawed camera.
    camera.rotate(fromAxisAngle({0, 1, 0}, -static_cast<float>(state.mouseDeltaX) * mouseLookSensitivity));
    camera.rotate(fromAxisAngle(rightOf(camera), -static_cast<float>(state.mouseDeltaY) * mouseLookSensitivity));

    camera.updateMatrices();
}

void handleMouse(MouseLookState& state, const std::function<void()>& interactWithPanel)
{
    InputSource& input = platformInput();
    state.mouseDeltaX = 0;
    state.mouseDeltaY = 0;

    if (input.queryKey(Key::F1)) {
        if (!state.f1WasDown) {
            state.uiMode = !state.uiMode;
            input.showCursor(state.uiMode);
            if (!state.uiMode)
                input.setCursorPosition(state.recentreX, state.recentreY);
        }
        state.f1WasDown = true;
    } else {
        state.f1WasDown = false;
    }

    if (state.uiMode) {
        if (interactWithPanel)
            interactWithPanel();
        return;
    }

    int x = 0, y = 0;
    input.cursorPosition(x, y);
    state.mouseDeltaX = x - state.recentreX;
    state.mouseDeltaY = y - state.recentreY;
    input.setCursorPosition(state.recentreX, state.recentreY);
}

void setMouseRecentre(MouseLookState& state, int32_t x, int32_t y)
{
    state.recentreX = x;
    state.recentreY = y;
    state.mouseDeltaX = 0;
    state.mouseDeltaY = 0;
    if (!state.uiMode)
        platformInput().setCursorPosition(x, y);
}

}  // namespace Orvanta
