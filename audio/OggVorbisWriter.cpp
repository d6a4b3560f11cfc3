#include "audio/OggVorbisWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace Orvanta {

namespace {

bool writePages(std::FILE* file, ogg_stream_state& stream, bool flush)
{
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
        if (std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) !=
                static_cast<size_t>(page.header_len) ||
            std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) != static_cast<size_t>(page.body_len))
            return false;
    }
    return true;
}

}  // namespace

bool writeOggVorbis(const std::string& path, const std::vector<float>& interleaved, int channels, int sampleRate,
                    float quality, std::string& error)
{
    if (channels < 1 || interleaved.size() % static_cast<size_t>(channels) != 0) {
        error = path + ": the sample list is not a whole number of " + std::to_string(channels) + "-channel frames";
        return false;
    }
    std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = path + ": cannot create the file";
        return false;
    }
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, sampleRate, quality) != 0) {
        std::fclose(file);
        std::remove(temporary.c_str());
        vorbis_info_clear(&info);
        error = path + ": the Vorbis encoder rejected the settings";
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Orvanta Engine");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x4F52564E);

    bool ok = true;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ok = writePages(file, stream, true);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    const size_t chunk = 4096;
    // Runs until a pass with no frames left has told the encoder that the stream ends; only
    // then are the last blocks flushed, so stopping earlier would cut off the tail.
    for (size_t pos = 0; ok; pos += chunk) {
        size_t n = pos < frames ? std::min(chunk, frames - pos) : 0;
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            const float* frame = interleaved.data() + pos * static_cast<size_t>(channels);
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = *frame++;
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        while (ok && vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (ok && vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ok = writePages(file, stream, false);
            }
        }
        if (n == 0)
            break;
    }
    ok = ok && writePages(file, stream, true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (std::fclose(file) != 0)
        ok = false;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = path + ": write failed";
        return false;
    }
    return true;
}

}  // namespace Orvanta
