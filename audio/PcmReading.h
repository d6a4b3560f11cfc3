#pragma once
#include <vorbis/vorbisfile.h>

#include <string>

namespace Orvanta {

// What one fill of a PCM block got from the decoder.
struct PcmFill {
    // Bytes of 16-bit signed little-endian PCM written, a whole number of sample frames.
    long bytes = 0;
    // No more samples come from this stream for now: a stream without looping reached its end, a
    // looping one gave no samples in a whole pass, or decoding failed.
    bool streamEnded = false;
    // The decoder error that stopped the fill (OV_EBADLINK, OV_EINVAL, ...), 0 when none did.
    int error = 0;
};

// Decodes up to `size` bytes of interleaved 16-bit PCM from `decoder` into `data`.
// A hole in the stream (OV_HOLE: a lost or damaged page) is skipped: negative results never move
// the write position. Any other decoder error ends the fill with what was decoded before it.
// With `looping`, reaching the end of the stream rewinds the decoder with a cross-lapped seek to
// sample 0, so one block can hold several passes of a short stream with no click or gap at the loop
// point; a pass that yields no samples ends the fill instead of rewinding for ever. Without
// `looping` the fill ends at the end of the stream, so the last block of a stream is shorter.
PcmFill readPcm(OggVorbis_File& decoder, char* data, long size, bool looping);

// A short description of a libvorbisfile error code ("is not an Ogg Vorbis stream", ...).
std::string vorbisErrorText(int code);

}  // namespace Orvanta
