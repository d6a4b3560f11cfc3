#pragma once
#include "audio/AudioOutput.h"
#include "audio/SoundList.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <string>
#include <vector>

namespace OrvantaTest {

constexpr int mixRate = 44100;

// A sine of `amplitude` in every channel (channel c a quarter period behind channel c - 1).
std::vector<float> sineFrames(double seconds, int channels, int rate, double frequency, float amplitude = 0.5f);
// Encodes `interleaved` into <dir>/<name>.ogg and returns the path; fails the test on error.
std::string writeOgg(const std::string& dir, const std::string& name, const std::vector<float>& interleaved,
                     int channels, int rate);

// An opened decoder, closed at the end of the scope.
struct OpenDecoder {
    explicit OpenDecoder(const std::string& path) : ok(ov_fopen(path.c_str(), &file) == 0) {}
    ~OpenDecoder()
    {
        if (ok)
            ov_clear(&file);
    }
    OggVorbis_File file{};
    bool ok;
};

// 16-bit PCM bytes as samples in [-1, 1].
std::vector<float> toFloat(const std::vector<char>& pcm, long bytes);

// Every test runs against OpenAL Soft's loopback device, current for the test, so real samples
// are mixed into memory without a sound card; a test fails (never skips) when it cannot be opened.
// Log messages are captured in `messages`; sounds live in `sounds` and are released at the end.
class LoopbackAudioTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Mixes the next `frames` frames; interleaved left, right.
    std::vector<float> render(int frames);
    std::string path(const std::string& name) const { return dir + "/" + name; }

    Orvanta::AudioOutput output;
    Orvanta::SoundList sounds;
    std::string dir;
    std::vector<std::string> messages;
};

}  // namespace OrvantaTest
