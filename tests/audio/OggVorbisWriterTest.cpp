#include "AudioTestSupport.h"

#include "audio/OggVorbisWriter.h"
#include "support/GlTestContext.h"

#include <filesystem>

using namespace Orvanta;
using namespace OrvantaTest;

TEST(OggVorbisWriter, StreamsDecodeToEveryFrameWrittenWithTheirChannelsAndRate)
{
    std::string dir = makeTempDir("orvanta-ogg");
    struct Case {
        size_t frames;
        int channels;
        int rate;
    };
    // Lengths on and off the encoder's 4096-frame feeding step, and an empty stream.
    const Case cases[] = {{44100, 1, 44100}, {8192, 2, 22050}, {4097, 3, 32000}, {0, 1, 44100}};
    for (Case c : cases) {
        SCOPED_TRACE(std::to_string(c.frames) + " frames of " + std::to_string(c.channels));
        std::vector<float> samples(c.frames * size_t(c.channels), 0.25f);
        std::string file = writeOgg(dir, "case", samples, c.channels, c.rate);
        OpenDecoder decoder(file);
        ASSERT_TRUE(decoder.ok);
        EXPECT_EQ(ov_pcm_total(&decoder.file, -1), ogg_int64_t(c.frames));
        EXPECT_EQ(ov_info(&decoder.file, -1)->channels, c.channels);
        EXPECT_EQ(ov_info(&decoder.file, -1)->rate, c.rate);
    }
    std::filesystem::remove_all(dir);
}

TEST(OggVorbisWriter, FailureNamesTheFileAndLeavesNothingBehind)
{
    std::string dir = makeTempDir("orvanta-ogg");
    std::string error;
    EXPECT_FALSE(writeOggVorbis(dir + "/missing/x.ogg", {0.0f}, 1, 44100, 0.5f, error));
    EXPECT_NE(error.find(dir + "/missing/x.ogg"), std::string::npos) << error;
    EXPECT_FALSE(writeOggVorbis(dir + "/odd.ogg", {0.0f, 0.0f, 0.0f}, 2, 44100, 0.5f, error));
    EXPECT_NE(error.find("odd.ogg"), std::string::npos) << error;
    EXPECT_FALSE(writeOggVorbis(dir + "/rate.ogg", {0.0f}, 1, 0, 0.5f, error));
    EXPECT_NE(error.find("rate.ogg"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
}
