#pragma once
#include "audio/SoundList.h"
#include "scene/Math.h"

#include <AL/al.h>
#include <vorbis/vorbisfile.h>

#include <string>
#include <vector>

namespace Orvanta {

// One positioned OpenAL source playing an Ogg Vorbis file. In streaming mode the file is decoded
// in fixed-size chunks that update() refills while the source plays; otherwise the whole stream is
// decoded into one buffer. Looping rewinds the decoder, not the OpenAL source.
// Needs a current OpenAL context for its whole life; created with new and owned by its SoundList.
class Sound {
public:
    // Bytes per streamed chunk: 1.25 s of 44.1 kHz 16-bit stereo (2.5 s of mono).
    static constexpr long chunkBytes = 220500;
    // Whole-stream decoding stops at this size (about 6 minutes of 44.1 kHz stereo), which keeps
    // a damaged length field from asking for gigabytes.
    static constexpr long maxWholeStreamBytes = 64L << 20;

    // Creates the source at `position` (world space), adds the sound to `list` and opens `path`;
    // on success decodes and queues the first buffer. A file that cannot be opened or decoded,
    // or one with other than 1 or 2 channels, is reported once (naming the file) and leaves a
    // silent source that start() and update() leave alone.
    Sound(const std::string& path, Float3 position, bool streamInChunks = true, SoundList& list = soundList());
    // Deletes the source, then the buffers, then closes the decoder; leaves the list.
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Starts playback and marks the sound active. Does nothing for a sound without a stream.
    void start();
    void setGain(float gain);

    // Decodes the next block (a chunk, or the whole stream) into `buffer` and returns its size
    // in bytes. A block of zero bytes (the stream has ended) leaves the buffer as it was.
    long fillBuffer(ALuint buffer);
    // Creates one more buffer, fills it and queues it on the source (unless it came out empty).
    void queueNewBuffer();
    // Per-frame service of a streaming, active sound: refills and requeues the buffers the source
    // has played; restarts a source whose queue ran dry and adds one buffer to its queue, so the
    // queue grows until decoding keeps ahead of playback. A stream that has ended and been played
    // out is left stopped and no longer active.
    void update();

    // True when the file was opened with a playable channel count.
    bool hasStream() const { return decoderOpen; }

    ALuint source = 0;
    ALenum format = 0;            // AL_FORMAT_MONO16 or AL_FORMAT_STEREO16; 0 while unknown
    std::vector<ALuint> buffers;  // every buffer this sound created, in creation order
    OggVorbis_File decoder{};
    bool active = false;
    bool looping = false;
    bool streaming = true;

private:
    long blockBytes();
    void closeDecoder();

    std::string path;
    SoundList* list;
    bool decoderOpen = false;
    bool streamEnded = false;  // the latest fill reached the end of the stream
    bool decodeErrorReported = false;
};

}  // namespace Orvanta
