#include "AudioTestSupport.h"

#include "audio/LoopbackAudio.h"
#include "audio/OggVorbisWriter.h"
#include "platform/Log.h"
#include "support/GlTestContext.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <numbers>

using namespace Orvanta;

namespace OrvantaTest {

std::vector<float> sineFrames(double seconds, int channels, int rate, double frequency, float amplitude)
{
    size_t frames = static_cast<size_t>(std::lround(seconds * rate));
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            double cycles = frequency * static_cast<double>(i) / rate - 0.25 * c;
            double phase = 2 * std::numbers::pi * cycles;
            samples[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = amplitude *
                                                                                  static_cast<float>(std::sin(phase));
        }
    return samples;
}

std::string writeOgg(const std::string& dir, const std::string& name, const std::vector<float>& interleaved,
                     int channels, int rate)
{
    std::string file = dir + "/" + name + ".ogg";
    std::string error;
    EXPECT_TRUE(writeOggVorbis(file, interleaved, channels, rate, 0.5f, error)) << error;
    return file;
}

std::vector<float> toFloat(const std::vector<char>& pcm, long bytes)
{
    std::vector<float> samples(static_cast<size_t>(bytes / 2));
    for (size_t i = 0; i < samples.size(); ++i) {
        int16_t s;
        std::memcpy(&s, pcm.data() + 2 * i, 2);
        samples[i] = s / 32768.0f;
    }
    return samples;
}

void LoopbackAudioTest::SetUp()
{
    std::string error;
    ASSERT_TRUE(openLoopbackAudio(output, mixRate, error)) << "no OpenAL loopback device: " << error;
    dir = makeTempDir("orvanta-audio");
    setLogSink([this](const std::string& message) { messages.push_back(message); });
}

void LoopbackAudioTest::TearDown()
{
    closeAudio(output, sounds);
    setLogSink({});
    if (!dir.empty())
        std::filesystem::remove_all(dir);
}

std::vector<float> LoopbackAudioTest::render(int frames)
{
    std::vector<float> mix(static_cast<size_t>(frames) * 2);
    renderLoopback(output, mix.data(), frames);
    return mix;
}

}  // namespace OrvantaTest
