#include "audio/LoopbackAudio.h"

#include <AL/alext.h>

namespace Orvanta {

namespace {

struct LoopbackEntryPoints {
    LPALCLOOPBACKOPENDEVICESOFT openDevice = nullptr;
    LPALCISRENDERFORMATSUPPORTEDSOFT isFormatSupported = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
};

// Resolved once; all null when the library has no loopback support.
const LoopbackEntryPoints& loopbackEntryPoints()
{
    static const LoopbackEntryPoints entryPoints = [] {
        LoopbackEntryPoints e;
        if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
            return e;
        e.openDevice = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        e.isFormatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
            alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
        e.renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        return e;
    }();
    return entryPoints;
}

}  // namespace

bool openLoopbackAudio(AudioOutput& output, int sampleRate, std::string& error)
{
    const LoopbackEntryPoints& e = loopbackEntryPoints();
    if (!e.openDevice || !e.isFormatSupported || !e.renderSamples) {
        error = "the OpenAL library has no loopback device (ALC_SOFT_loopback)";
        return false;
    }
    ALCdevice* device = e.openDevice(nullptr);
    if (!device) {
        error = "the OpenAL loopback device could not be opened";
        return false;
    }
    if (!e.isFormatSupported(device, sampleRate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
        alcCloseDevice(device);
        error = "the OpenAL loopback device cannot mix stereo float at " + std::to_string(sampleRate) + " Hz";
        return false;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 sampleRate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 0};
    if (!attachContext(output, device, attributes)) {
        error = "no context could be made current on the OpenAL loopback device";
        return false;
    }
    return true;
}

void renderLoopback(const AudioOutput& output, float* interleaved, int frames)
{
    loopbackEntryPoints().renderSamples(output.device, interleaved, frames);
}

}  // namespace Orvanta
