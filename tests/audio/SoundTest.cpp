#include "AudioTestSupport.h"

#include "audio/Sound.h"
#include "audio/UpdateAudio.h"
#include "platform/FileAccess.h"
#include "scene/Camera.h"

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

constexpr int framesPerUpdate = mixRate / 60;

class SoundTest : public LoopbackAudioTest {
protected:
    // One main-loop iteration's worth of audio: mix, then the audio step.
    void frame()
    {
        render(framesPerUpdate);
        updateAudio(sounds, camera);
    }
    ALint sourceInt(const Sound& sound, ALenum what)
    {
        ALint value = 0;
        alGetSourcei(sound.source, what, &value);
        return value;
    }
    ALint bufferInt(ALuint buffer, ALenum what)
    {
        ALint value = 0;
        alGetBufferi(buffer, what, &value);
        return value;
    }

    Camera camera;
};

}  // namespace

TEST_F(SoundTest, MonoAndStereoAreQueuedInTheirFormatAtTheFileRate)
{
    struct Case {
        const char* name;
        int channels;
        int rate;
        ALenum format;
    };
    const Case cases[] = {{"mono", 1, 22050, AL_FORMAT_MONO16}, {"stereo", 2, 32000, AL_FORMAT_STEREO16}};
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> tone = sineFrames(6.0, c.channels, c.rate, 500.0);
        std::string file = writeOgg(dir, c.name, tone, c.channels, c.rate);
        Sound sound(file, {0, 0, 0}, true, sounds);
        EXPECT_EQ(sound.format, c.format);
        ASSERT_EQ(sound.buffers.size(), 1u);
        EXPECT_EQ(sourceInt(sound, AL_BUFFERS_QUEUED), 1);
        ALuint buffer = sound.buffers[0];
        EXPECT_EQ(bufferInt(buffer, AL_CHANNELS), c.channels);
        EXPECT_EQ(bufferInt(buffer, AL_BITS), 16);
        EXPECT_EQ(bufferInt(buffer, AL_FREQUENCY), c.rate);
        EXPECT_EQ(bufferInt(buffer, AL_SIZE), Sound::chunkBytes);
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundTest, WholeStreamModeDecodesTheFileIntoOneBufferAndPlaysItOnce)
{
    std::string file = writeOgg(dir, "tone", sineFrames(1.0, 2, mixRate, 500.0), 2, mixRate);
    Sound* sound = new Sound(file, {0, 0, 0}, false, sounds);
    ASSERT_EQ(sound->buffers.size(), 1u);
    EXPECT_EQ(bufferInt(sound->buffers[0], AL_SIZE), mixRate * 2 * 2);
    sound->start();
    sound->looping = true;  // has no effect once the single buffer is decoded
    for (int i = 0; i < 90; ++i)
        frame();
    EXPECT_EQ(sound->buffers.size(), 1u);
    EXPECT_EQ(sourceInt(*sound, AL_BUFFERS_QUEUED), 1);
    EXPECT_EQ(sourceInt(*sound, AL_SOURCE_STATE), AL_STOPPED);
}

TEST_F(SoundTest, LoopingStreamRefillsWholeChunks)
{
    std::string file = writeOgg(dir, "short", sineFrames(0.5, 2, mixRate, 440.0), 2, mixRate);
    Sound* sound = new Sound(file, {0, 0, 0}, true, sounds);
    sound->looping = true;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    for (int fill = 0; fill < 3; ++fill) {
        EXPECT_EQ(sound->fillBuffer(buffer), Sound::chunkBytes);
        EXPECT_EQ(bufferInt(buffer, AL_SIZE), Sound::chunkBytes);
    }
    alDeleteBuffers(1, &buffer);
}

TEST_F(SoundTest, StreamWithoutLoopingPlaysItsShorterLastChunkThenStops)
{
    // 3 s of mono: a 2.5 s chunk, then a 0.5 s one.
    std::string file = writeOgg(dir, "tone", sineFrames(3.0, 1, mixRate, 500.0), 1, mixRate);
    Sound* sound = new Sound(file, {0, 0, 0}, true, sounds);
    sound->start();
    int playingFrames = 0;
    for (int i = 0; i < 60 * 5; ++i) {
        frame();
        playingFrames += sourceInt(*sound, AL_SOURCE_STATE) == AL_PLAYING;
    }
    EXPECT_FALSE(sound->active);
    EXPECT_EQ(sourceInt(*sound, AL_SOURCE_STATE), AL_STOPPED);
    ASSERT_EQ(sound->buffers.size(), 1u) << "an ended stream must not keep adding buffers";
    EXPECT_EQ(bufferInt(sound->buffers[0], AL_SIZE), mixRate * 2 / 2);
    EXPECT_NEAR(playingFrames, 3 * 60, 2);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SoundTest, LoopingStreamWithoutSamplesStopsInsteadOfGrowingItsQueue)
{
    std::string file = writeOgg(dir, "empty", {}, 1, mixRate);
    Sound* sound = new Sound(file, {0, 0, 0}, true, sounds);
    sound->start();
    sound->looping = true;
    for (int i = 0; i < 120; ++i)
        frame();
    EXPECT_FALSE(sound->active);
    EXPECT_LE(sound->buffers.size(), 1u);
    EXPECT_EQ(sourceInt(*sound, AL_BUFFERS_QUEUED), 0);
}

TEST_F(SoundTest, UnusableFilesGiveOneMessageAndASilentSourceThatIsNeverServiced)
{
    std::string garbage = path("garbage.ogg");
    std::ofstream(garbage) << "plain text, long enough to be read as the start of a stream";
    const std::string folder = path("folder.ogg"), pipe = path("pipe.ogg");
    std::filesystem::create_directory(folder);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0) << pipe;  // opening it for reading would block
    struct Case {
        std::string file;
        const char* problem;
    };
    // Larger than any file a loader reads; sparse, so it takes no disk space.
    const std::string huge = path("huge.ogg");
    std::ofstream(huge) << "OggS";
    std::filesystem::resize_file(huge, kMaxReadFileBytes + 1);
    const Case cases[] = {
        {path("missing.ogg"), "cannot open"},
        {garbage, "not an Ogg Vorbis stream"},
        {folder, "is a directory"},
        {huge, "more than the 1073741824 bytes"},
        {pipe, "not a regular file"},
        {writeOgg(dir, "surround", sineFrames(1.0, 3, mixRate, 500.0), 3, mixRate), "3 channels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        messages.clear();
        Sound* sound = new Sound(c.file, {1, 2, 3}, true, sounds);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(c.file), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find(c.problem), std::string::npos) << messages[0];
        EXPECT_FALSE(sound->hasStream());
        sound->start();
        EXPECT_FALSE(sound->active);
        // Even a creator that marks it active by hand gets no service.
        sound->active = true;
        sound->looping = true;
        for (int i = 0; i < 30; ++i)
            frame();
        EXPECT_TRUE(sound->buffers.empty());
        EXPECT_EQ(sourceInt(*sound, AL_BUFFERS_QUEUED), 0);
        EXPECT_NE(sourceInt(*sound, AL_SOURCE_STATE), AL_PLAYING);
        EXPECT_EQ(messages.size(), 1u);
    }
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundTest, ClosingReleasesSourcesBuffersAndDecodersThenTheContextAndDevice)
{
    std::string file = writeOgg(dir, "tone", sineFrames(0.5, 1, mixRate, 500.0), 1, mixRate);
    Sound* playing = new Sound(file, {0, 0, 0}, true, sounds);
    playing->start();
    playing->looping = true;
    new Sound(path("missing.ogg"), {0, 0, 0}, true, sounds);
    for (int i = 0; i < 120; ++i)
        frame();
    ASSERT_EQ(sounds.sounds.size(), 2u);
    ASSERT_GE(playing->buffers.size(), 2u);
    std::vector<ALuint> sources, buffers;
    for (Sound* s : sounds.sounds) {
        sources.push_back(s->source);
        buffers.insert(buffers.end(), s->buffers.begin(), s->buffers.end());
    }

    releaseSounds(sounds);
    EXPECT_TRUE(sounds.sounds.empty());
    for (ALuint s : sources)
        EXPECT_FALSE(alIsSource(s)) << "source " << s;
    for (ALuint b : buffers)
        EXPECT_FALSE(alIsBuffer(b)) << "buffer " << b;
    EXPECT_EQ(alGetError(), AL_NO_ERROR);

    closeAudio(output, sounds);
    EXPECT_FALSE(output.isOpen());
    EXPECT_EQ(output.device, nullptr);
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
}
