#include "AudioTestSupport.h"

#include "audio/AmbientSounds.h"
#include "audio/Sound.h"
#include "audio/UpdateAudio.h"
#include "scene/Camera.h"

#include <algorithm>
#include <cstdio>
#include <numbers>
#include <utility>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

constexpr int framesPerUpdate = mixRate / 60;

class Ambience : public LoopbackAudioTest {
protected:
    void frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            render(framesPerUpdate);
            updateAudio(sounds, camera);
        }
    }
    // Energy of the left and right channels over the next `count` frames.
    std::pair<double, double> channelEnergy(int count)
    {
        std::vector<float> mix = render(count);
        double left = 0, right = 0;
        for (size_t i = 0; i < mix.size(); i += 2) {
            left += double(mix[i]) * mix[i];
            right += double(mix[i + 1]) * mix[i + 1];
        }
        return {left, right};
    }
    ALint sourceInt(const Sound& sound, ALenum what)
    {
        ALint value = 0;
        alGetSourcei(sound.source, what, &value);
        return value;
    }

    Camera camera;
};

}  // namespace

TEST_F(Ambience, SourceAtTheLeftOfACameraLookingAlongZIsLouderLeftUntilTheCameraTurns)
{
    std::string file = writeOgg(dir, "tone", sineFrames(2.0, 1, mixRate, 700.0), 1, mixRate);
    Sound* sound = new Sound(file, {18, 6, 0}, true, sounds);
    sound->start();
    sound->looping = true;

    updateAudio(sounds, camera);  // at the origin, looking along +z with +y up
    render(mixRate / 20);         // let the gains settle
    auto [left, right] = channelEnergy(mixRate / 2);
    ASSERT_GT(right, 0.0);
    double facingRatio = left / right;
    EXPECT_GT(facingRatio, 2.0);

    camera.setOrientation(fromAxisAngle({0, 1, 0}, std::numbers::pi_v<float>));
    updateAudio(sounds, camera);
    render(mixRate / 20);
    auto [leftTurned, rightTurned] = channelEnergy(mixRate / 2);
    ASSERT_GT(leftTurned, 0.0);
    double turnedRatio = rightTurned / leftTurned;
    EXPECT_GT(turnedRatio, 2.0);
    EXPECT_NEAR(turnedRatio / facingRatio, 1.0, 0.05) << "turning round mirrors the panning";

    std::printf("left/right energy facing +z: %.2f; right/left after turning: %.2f\n", facingRatio, turnedRatio);
    RecordProperty("leftRightEnergyRatio", std::to_string(facingRatio));
}

TEST_F(Ambience, TenThousandFramesKeepEveryStreamPlayingWithABoundedQueue)
{
    // Streams shorter and longer than one chunk, mono and stereo, at different rates.
    std::string a = writeOgg(dir, "a", sineFrames(0.7, 1, mixRate, 300.0), 1, mixRate);
    std::string b = writeOgg(dir, "b", sineFrames(3.3, 2, mixRate, 440.0), 2, mixRate);
    std::string c = writeOgg(dir, "c", sineFrames(1.9, 1, 22050, 600.0), 1, 22050);
    Sound* streams[] = {new Sound(a, {0, 0, 0}, true, sounds), new Sound(b, {18, 6, 0}, true, sounds),
                        new Sound(c, {4, 4, 6.5f}, true, sounds)};
    for (Sound* s : streams) {
        s->start();
        s->looping = true;
    }
    size_t mostBuffers = 0;
    for (int frame = 0; frame < 10000; ++frame) {
        frames(1);
        for (Sound* s : streams) {
            ASSERT_EQ(sourceInt(*s, AL_SOURCE_STATE), AL_PLAYING) << "frame " << frame;
            ASSERT_LE(sourceInt(*s, AL_BUFFERS_QUEUED), 3) << "frame " << frame;
            mostBuffers = std::max(mostBuffers, s->buffers.size());
        }
    }
    EXPECT_LE(mostBuffers, 3u);
    for (Sound* s : streams)
        EXPECT_TRUE(s->active);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(Ambience, DemoSoundsLoopFromTheirPlaces)
{
    startAmbientSounds(sounds);
    ASSERT_EQ(sounds.sounds.size(), 3u);
    EXPECT_TRUE(messages.empty()) << messages.front();
    const Float3 places[] = {{0, 0, 0}, {18, 6, 0}, {4, 4, 6.5f}};
    const float gains[] = {0.2f, 1.0f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        Sound& s = *sounds.sounds[size_t(i)];
        Float3 p;
        alGetSource3f(s.source, AL_POSITION, &p.x, &p.y, &p.z);
        EXPECT_EQ(p, places[i]) << i;
        float gain = 0;
        alGetSourcef(s.source, AL_GAIN, &gain);
        EXPECT_EQ(gain, gains[i]) << i;
        EXPECT_TRUE(s.streaming && s.looping && s.active) << i;
    }
    frames(60 * 40);  // longer than every file, so each has wrapped
    for (Sound* s : sounds.sounds)
        EXPECT_EQ(sourceInt(*s, AL_SOURCE_STATE), AL_PLAYING);
    float gain = 0;
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_EQ(gain, listenerGain);
}
