#include "audio/AmbientSounds.h"

#include "audio/Sound.h"

namespace Orvanta {

namespace {

struct AmbientSound {
    const char* path;
    Float3 position;
    float gain;
};

constexpr AmbientSound ambientSounds[] = {
    {"resources/audio/ambience.ogg", {0, 0, 0}, 0.2f},
    {"resources/audio/birds.ogg", {18, 6, 0}, 1.0f},
    {"resources/audio/singleBird.ogg", {4, 4, 6.5f}, 1.0f},
};

}  // namespace

void startAmbientSounds(SoundList& list)
{
    for (const AmbientSound& ambient : ambientSounds) {
        // Streamed, so that the chunked refill loops each file seamlessly for the whole run.
        Sound* sound = new Sound(ambient.path, ambient.position, true, list);
        sound->start();
        sound->setGain(ambient.gain);
        sound->looping = true;
    }
}

}  // namespace Orvanta
