#pragma once
#include <AL/alc.h>

namespace Orvanta {

struct SoundList;

// An OpenAL device with its context, current on the main thread while open.
struct AudioOutput {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;

    bool isOpen() const { return context != nullptr; }
};

// Opens the default device and makes a new context on it current. When that fails the output
// stays closed and one message says that sound is off; nothing else is opened.
bool openAudio(AudioOutput& output);
// Makes a new context with `attributes` (zero-terminated, or null) current on an opened device.
// When that fails the device is closed again and the output stays closed.
bool attachContext(AudioOutput& output, ALCdevice* device, const ALCint* attributes);
// Releases every sound of `sounds` (sources, buffers, decoders), then the context, then the
// device. Does nothing on a closed output.
void closeAudio(AudioOutput& output, SoundList& sounds);

}  // namespace Orvanta
