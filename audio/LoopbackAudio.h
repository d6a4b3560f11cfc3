#pragma once
#include "audio/AudioOutput.h"

#include <string>

namespace Orvanta {

// OpenAL Soft's loopback device (ALC_SOFT_loopback) mixes into memory instead of a sound card, so
// sound can be rendered and measured on a machine without one.

// Opens a loopback device mixing to stereo 32-bit float at `sampleRate` (HRTF off, so the two
// channels are plain speaker panning) and makes its context current. False, with `error` saying
// why, when the OpenAL library lacks the extension or refuses the format.
bool openLoopbackAudio(AudioOutput& output, int sampleRate, std::string& error);

// Mixes the next `frames` stereo frames of a loopback output into `interleaved` (left, right).
void renderLoopback(const AudioOutput& output, float* interleaved, int frames);

}  // namespace Orvanta
