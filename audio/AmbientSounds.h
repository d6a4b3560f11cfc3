#pragma once

namespace Orvanta {

struct SoundList;

// Creates and starts the demo's three ambience streams at their places in the scene (wind and
// town at the origin, quieter; a flock of birds; a single bird), each looping for the whole run.
// Needs a current OpenAL context.
void startAmbientSounds(SoundList& list);

}  // namespace Orvanta
