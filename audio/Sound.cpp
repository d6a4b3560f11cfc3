#include "audio/Sound.h"

#include "audio/PcmReading.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstdio>

namespace Orvanta {

Sound::Sound(const std::string& soundPath, Float3 position, bool streamInChunks, SoundList& owner)
    : streaming(streamInChunks), path(soundPath), list(&owner)
{
    alGenSources(1, &source);
    alSource3f(source, AL_POSITION, position.x, position.y, position.z);
    list->sounds.push_back(this);

    // Only a regular file within the loaders' size bound is opened: a named pipe would block the
    // decoder's first read until something writes to it, and a directory fails with a read error
    // that names nothing useful.
    std::string problem;
    FILE* file = openRegularFile(path, problem);
    if (!file) {
        logError(path + ": " + problem + "; the sound stays silent");
        return;
    }
    // On success the decoder owns the file and closes it in ov_clear; on failure it is ours.
    const int result = ov_open_callbacks(file, &decoder, nullptr, 0, OV_CALLBACKS_DEFAULT);
    if (result != 0) {
        std::fclose(file);
        logError(path + ": " + vorbisErrorText(result) + "; the sound stays silent");
        return;
    }
    decoderOpen = true;
    int channels = ov_info(&decoder, -1)->channels;
    if (channels == 1) {
        format = AL_FORMAT_MONO16;
    } else if (channels == 2) {
        format = AL_FORMAT_STEREO16;
    } else {
        logError(path + ": has " + std::to_string(channels) +
                 " channels, only mono and stereo can play; the sound stays silent");
        closeDecoder();
        return;
    }
    queueNewBuffer();
}

Sound::~Sound()
{
    alDeleteSources(1, &source);  // stops the source and releases its queue
    if (!buffers.empty())
        alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    closeDecoder();
    auto& sounds = list->sounds;
    sounds.erase(std::remove(sounds.begin(), sounds.end(), this), sounds.end());
}

void Sound::closeDecoder()
{
    if (decoderOpen)
        ov_clear(&decoder);
    decoderOpen = false;
}

void Sound::start()
{
    if (!decoderOpen)
        return;
    alSourcePlay(source);
    active = true;
}

void Sound::setGain(float gain)
{
    alSourcef(source, AL_GAIN, gain);
}

long Sound::blockBytes()
{
    if (streaming)
        return chunkBytes;
    ogg_int64_t bytes = ov_pcm_total(&decoder, -1) * ov_info(&decoder, -1)->channels * 2;
    if (bytes <= 0)
        return 0;
    if (bytes > maxWholeStreamBytes) {
        logError(path + ": too long to decode into one buffer; only its first " +
                 std::to_string(maxWholeStreamBytes >> 20) + " MiB of samples play");
        return maxWholeStreamBytes;
    }
    return static_cast<long>(bytes);
}

long Sound::fillBuffer(ALuint buffer)
{
    long size = blockBytes();
    std::vector<char> data(static_cast<size_t>(size));
    PcmFill fill = readPcm(decoder, data.data(), size, looping);
    streamEnded = fill.streamEnded;
    if (fill.error != 0 && !decodeErrorReported) {
        logError(path + ": " + vorbisErrorText(fill.error) + "; the stream stops there");
        decodeErrorReported = true;
    }
    if (fill.bytes > 0)
        alBufferData(buffer, format, data.data(), static_cast<ALsizei>(fill.bytes),
                     static_cast<ALsizei>(ov_info(&decoder, -1)->rate));
    return fill.bytes;
}

void Sound::queueNewBuffer()
{
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    buffers.push_back(buffer);
    // An empty buffer would be played out at once and come back every frame.
    if (fillBuffer(buffer) > 0)
        alSourceQueueBuffers(source, 1, &buffer);
}

void Sound::update()
{
    if (!streaming || !active || !decoderOpen)
        return;
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (fillBuffer(buffer) > 0)
            alSourceQueueBuffers(source, 1, &buffer);
    }
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING)
        return;
    ALint queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    if (streamEnded && queued == 0) {
        active = false;  // played to the end; nothing more to decode
        return;
    }
    // The queue ran dry before this update refilled it: restart, and keep one more chunk ahead
    // from now on.
    alSourcePlay(source);
    active = true;
    if (!streamEnded)
        queueNewBuffer();
}

}  // namespace Orvanta
