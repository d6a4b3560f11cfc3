#pragma once
#include <string>
#include <vector>

namespace Orvanta {

// Encodes interleaved samples in [-1, 1] (`channels` per frame) as Ogg Vorbis at VBR quality
// `quality`, with a fixed stream serial number so the same input gives the same file on every run.
// The file is written under a temporary name and renamed, so a failed write leaves no partial
// file. An empty sample list gives a valid stream with no audio. False with `error` naming the
// file and the problem when the encoder rejects the settings or the file cannot be written.
bool writeOggVorbis(const std::string& path, const std::vector<float>& interleaved, int channels, int sampleRate,
                    float quality, std::string& error);

}  // namespace Orvanta
