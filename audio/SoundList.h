#pragma once
#include <vector>

namespace Orvanta {

class Sound;

// Every sound created and not yet released, in creation order. Sounds add themselves when they
// are constructed and take themselves out when they are destroyed.
struct SoundList {
    std::vector<Sound*> sounds;
};

// The process-wide list (created on first use).
SoundList& soundList();

// Destroys every sound of the list, newest first: each one's source, then its buffers, then its
// decoder. Needs the sounds' OpenAL context to be current.
void releaseSounds(SoundList& list);

}  // namespace Orvanta
