#pragma once

namespace Orvanta {

class ControlPanel;
class Renderer;

// The UI-mode half of the mouse step on the panel's controls, polling platformInput():
// - button up: the drag ends and the next press counts as a new click;
// - a slider being dragged takes the value under the cursor column (pinned to its range), on
//   every frame of the drag, also when the value did not change;
// - otherwise, on the frame the button goes down: a press on a slider's knob (within 5 pixels
//   across, 15 up or down) starts dragging it from the next frame on, and a press on a check box
//   (20 pixels wide, 10 up or down) toggles it and sets its dependents to the new state;
// - nothing else happens until the button is released.
// Returns true when a slider was dragged this frame, so the sun must follow the sliders.
bool operatePanel(ControlPanel& panel);

// operatePanel, then, during a drag, moves the renderer's sun to the two slider values (which
// also tells every sun-dependent pass to follow).
void interact(ControlPanel& panel, Renderer& renderer);

// The whole mouse step (F1, then either the panel or mouse look) on the panel's mouse state.
void handleMouse(ControlPanel& panel, Renderer& renderer);

}  // namespace Orvanta
