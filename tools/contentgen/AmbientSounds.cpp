#include "AmbientSounds.h"

#include "audio/OggVorbisWriter.h"
#include "Random.h"

#include "scene/Math.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Orvanta {

namespace {

constexpr int Rate = 44100;

// Blends the tail past the loop length into the start so the loop point is seamless.
std::vector<float> closeLoop(const std::vector<float>& raw, size_t length)
{
    size_t fade = raw.size() - length;
    std::vector<float> out(raw.begin(), raw.begin() + static_cast<long>(length));
    for (size_t i = 0; i < fade; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(fade);
        out[i] = out[i] * std::sqrt(t) + raw[length + i] * std::sqrt(1.0f - t);
    }
    return out;
}

void normalise(std::vector<float>& s, float peak)
{
    float m = 1e-6f;
    for (float v : s)
        m = std::max(m, std::fabs(v));
    for (float& v : s)
        v *= peak / m;
}

std::vector<float> ambience(float seconds)
{
    size_t length = static_cast<size_t>(seconds * Rate);
    std::vector<float> raw(length + Rate);
    Random random(1u);
    float low = 0, band = 0, rumble = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        float t = static_cast<float>(i) / Rate;
        float white = random.range(-1, 1);
        // Wind: band-limited noise whose loudness and colour swell slowly.
        float gust = 0.55f + 0.3f * std::sin(2 * EnginePi * t / seconds * 3) +
                     0.15f * std::sin(2 * EnginePi * t / seconds * 7 + 1);
        float cutoff = 0.02f + 0.03f * gust;
        low += cutoff * (white - low);
        band += 0.2f * (low - band);
        // Distant town: deep rumble with a faint engine hum.
        rumble += 0.003f * (white - rumble);
        float hum = 0.05f * std::sin(2 * EnginePi * 55.0f * t) *
                    (0.5f + 0.5f * std::sin(2 * EnginePi * t / seconds * 2));
        raw[i] = (low - band) * gust * 3.0f + rumble * 6.0f + hum;
    }
    std::vector<float> out = closeLoop(raw, length);
    normalise(out, 0.7f);
    return out;
}

// One chirp: a short sweep with a harmonic, under a smooth envelope.
void addChirp(std::vector<float>& s, size_t start, float duration, float f0, float f1, float gain)
{
    size_t n = static_cast<size_t>(duration * Rate);
    float phase = 0;
    for (size_t i = 0; i < n; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(n);
        float f = f0 + (f1 - f0) * t;
        phase += 2 * EnginePi * f / Rate;
        float env = std::sin(EnginePi * t);
        env *= env;
        s[(start + i) % s.size()] += gain * env * (std::sin(phase) + 0.25f * std::sin(2 * phase));
    }
}

std::vector<float> birds(float seconds)
{
    std::vector<float> s(static_cast<size_t>(seconds * Rate), 0.0f);
    Random random(2u);
    for (int bird = 0; bird < 5; ++bird) {
        float base = random.range(2500, 5000);
        float t = random.range(0, 1);
        while (t < seconds) {
            int notes = random.integer(2, 6);
            for (int k = 0; k < notes; ++k) {
                float d = random.range(0.04f, 0.12f);
                float f = base * random.range(0.85f, 1.2f);
                addChirp(s, static_cast<size_t>(t * Rate), d, f, f * random.range(0.7f, 1.4f),
                         random.range(0.2f, 0.5f));
                t += d + random.range(0.02f, 0.08f);
            }
            t += random.range(0.8f, 3.0f);
        }
    }
    normalise(s, 0.6f);
    return s;
}

std::vector<float> singleBird(float seconds)
{
    std::vector<float> s(static_cast<size_t>(seconds * Rate), 0.0f);
    Random random(3u);
    // The same short song, repeated with small variations every few seconds.
    const float song[][3] = {
        {3200, 3900, 0.10f}, {3900, 3300, 0.10f}, {4200, 4400, 0.06f}, {4200, 4400, 0.06f}, {4600, 3000, 0.25f}};
    float t = 0.5f;
    while (t < seconds - 1.5f) {
        for (const auto& note : song) {
            float shift = random.range(0.97f, 1.03f);
            addChirp(s, static_cast<size_t>(t * Rate), note[2], note[0] * shift, note[1] * shift, 0.5f);
            t += note[2] + 0.04f;
        }
        t += random.range(2.0f, 3.5f);
    }
    normalise(s, 0.7f);
    return s;
}

}  // namespace

bool writeAmbientSounds(const std::string& audioRoot, std::string& error)
{
    return writeOggVorbis(audioRoot + "/ambience.ogg", ambience(20.0f), 1, Rate, 0.3f, error) &&
           writeOggVorbis(audioRoot + "/birds.ogg", birds(15.0f), 1, Rate, 0.3f, error) &&
           writeOggVorbis(audioRoot + "/singleBird.ogg", singleBird(12.0f), 1, Rate, 0.3f, error);
}

}  // namespace Orvanta
