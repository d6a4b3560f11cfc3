#include "audio/PcmReading.h"

#include <algorithm>
#include <climits>

namespace Orvanta {

namespace {

// ov_read's word layout: little-endian, 2-byte words, signed.
constexpr int littleEndian = 0;
constexpr int wordBytes = 2;
constexpr int signedWords = 1;

}  // namespace

PcmFill readPcm(OggVorbis_File& decoder, char* data, long size, bool looping)
{
    PcmFill fill;
    const ogg_int64_t total = ov_pcm_total(&decoder, -1);
    // Set by a rewind, cleared by the next samples: a second end of stream while it is still set
    // means a whole pass gave nothing.
    bool rewoundWithoutSamples = false;
    int section = 0;
    while (fill.bytes < size) {
        int request = static_cast<int>(std::min<long>(size - fill.bytes, INT_MAX));
        long n = ov_read(&decoder, data + fill.bytes, request, littleEndian, wordBytes, signedWords, &section);
        if (n == OV_HOLE)
            continue;  // the decoder has resynchronised past the hole; the samples go on
        if (n < 0) {
            fill.error = static_cast<int>(n);
            fill.streamEnded = true;
            return fill;
        }
        if (n > 0) {
            fill.bytes += n;
            rewoundWithoutSamples = false;
        }
        // A read of zero is the end even when the stream's stated length was not reached
        // (a truncated file), so a looping stream still rewinds there.
        bool atEnd = n == 0 || ov_pcm_tell(&decoder) >= total;
        if (!atEnd)
            continue;
        if (!looping) {
            if (n == 0) {
                fill.streamEnded = true;
                break;
            }
            continue;
        }
        // A stream without samples has nothing to loop, and lapping into it makes the decoder
        // copy from a window it never filled (AddressSanitizer reports a negative-size memcpy).
        if (rewoundWithoutSamples || total <= 0) {
            fill.streamEnded = true;
            break;
        }
        ov_pcm_seek_lap(&decoder, 0);
        rewoundWithoutSamples = true;
    }
    return fill;
}

std::string vorbisErrorText(int code)
{
    switch (code) {
    case OV_EREAD:
        return "could not be read";
    case OV_EFAULT:
        return "made the Vorbis decoder fail (internal fault)";
    case OV_EIMPL:
        return "uses a Vorbis feature the decoder does not implement";
    case OV_EINVAL:
        return "could not be decoded (invalid decoder state)";
    case OV_ENOTVORBIS:
        return "is not an Ogg Vorbis stream";
    case OV_EBADHEADER:
        return "has a damaged Vorbis header";
    case OV_EVERSION:
        return "has an unsupported Vorbis version";
    case OV_ENOTAUDIO:
        return "holds a packet that is not audio";
    case OV_EBADPACKET:
        return "holds a damaged packet";
    case OV_EBADLINK:
        return "has a damaged link between stream sections";
    case OV_ENOSEEK:
        return "cannot be seeked";
    default:
        return "failed with Vorbis error " + std::to_string(code);
    }
}

}  // namespace Orvanta
