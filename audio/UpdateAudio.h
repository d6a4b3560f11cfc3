#pragma once

namespace Orvanta {

class Camera;
struct SoundList;

// The listener's overall gain, set every frame.
constexpr float listenerGain = 5.0f;

// Per-frame audio step: puts the OpenAL listener at the camera's world position, facing the
// camera's viewing direction (its local +z) with the camera's local +y up, then services every
// sound of the list in order. Needs a current OpenAL context.
void updateAudio(SoundList& list, const Camera& camera);

}  // namespace Orvanta
