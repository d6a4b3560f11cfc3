// Cost of refilling one streamed chunk (220500 bytes of 16-bit PCM: decode plus upload), the
// work a streaming sound does inside a frame, on the demo's three ambience files. Mixes through
// OpenAL Soft's loopback device, so no sound card is needed. Prints one table.
//
//   bench_audioRefill [--refills N] [FILE.ogg ...]
//
// Without files it measures resources/audio/{ambience,birds,singleBird}.ogg (run from the source
// root after a build). Fails (exit 1) when no loopback device opens or a file cannot be used.
#include "audio/LoopbackAudio.h"
#include "audio/Sound.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Orvanta;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv)
{
    int refills = 200;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--refills") == 0 && i + 1 < argc)
            refills = std::max(1, std::atoi(argv[++i]));
        else
            files.push_back(argv[i]);
    }
    if (files.empty())
        files = {"resources/audio/ambience.ogg", "resources/audio/birds.ogg", "resources/audio/singleBird.ogg"};

    AudioOutput output;
    std::string error;
    if (!openLoopbackAudio(output, 44100, error)) {
        std::fprintf(stderr, "bench_audioRefill: %s\n", error.c_str());
        return 1;
    }
    SoundList sounds;
    bool ok = true;
    std::printf("%-34s %8s %10s %10s %10s %10s\n", "file", "refills", "mean ms", "min ms", "max ms", "audio s");
    for (const std::string& file : files) {
        Sound* sound = new Sound(file, {0, 0, 0}, true, sounds);
        if (!sound->hasStream()) {
            ok = false;
            continue;
        }
        sound->looping = true;
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        double total = 0, least = 1e9, most = 0;
        long bytes = 0;
        for (int i = 0; i < refills; ++i) {
            Clock::time_point start = Clock::now();
            bytes += sound->fillBuffer(buffer);
            double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            total += ms;
            least = std::min(least, ms);
            most = std::max(most, ms);
        }
        alDeleteBuffers(1, &buffer);
        vorbis_info* info = ov_info(&sound->decoder, -1);
        double audioSeconds = double(bytes) / (2.0 * info->channels * info->rate) / refills;
        std::printf("%-34s %8d %10.3f %10.3f %10.3f %10.2f\n", file.c_str(), refills, total / refills, least, most,
                    audioSeconds);
    }
    closeAudio(output, sounds);
    return ok ? 0 : 1;
}
