#include "audio/AudioOutput.h"

#include "audio/SoundList.h"
#include "platform/Log.h"

namespace Orvanta {

bool openAudio(AudioOutput& output)
{
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        logInfo("no audio device could be opened; the demo runs silent");
        return false;
    }
    if (!attachContext(output, device, nullptr)) {
        logInfo("no audio context could be made current; the demo runs silent");
        return false;
    }
    return true;
}

bool attachContext(AudioOutput& output, ALCdevice* device, const ALCint* attributes)
{
    ALCcontext* context = alcCreateContext(device, attributes);
    if (context && alcMakeContextCurrent(context)) {
        output.device = device;
        output.context = context;
        return true;
    }
    if (context)
        alcDestroyContext(context);
    alcCloseDevice(device);
    return false;
}

void closeAudio(AudioOutput& output, SoundList& sounds)
{
    if (!output.isOpen())
        return;
    releaseSounds(sounds);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(output.context);
    alcCloseDevice(output.device);
    output = {};
}

}  // namespace Orvanta
