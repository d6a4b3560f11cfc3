#pragma once
#include <string>
#include <vector>

namespace Orvanta {

// Encodes mono samples in [-1, 1] as Ogg Vorbis (VBR quality `quality`, fixed stream serial
// number so the file is the same on every run). Written to a temporary file and renamed.
bool writeOggVorbis(const std::string& path, const std::vector<float>& samples, int sampleRate,
                    float quality, std::string& error);

}  // namespace Orvanta
