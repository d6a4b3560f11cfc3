#pragma once
#include "renderer/GlibcRandom.h"

#include <vector>

namespace Orvanta {

// Random two-component vectors spread uniformly over a disc of radius `scale`, drawn from the C
// library's rand() (never seeded here, so the sequence is the same on every run). The result holds
// 2 * count floats, x and y interleaved, ready for a vec2-array uniform.
//
// The generator advances the process-wide rand() state by exactly 2 * count calls: one for the
// angle and one for the radius of each vector, in that order. Soft shadows use 32 vectors of scale
// 1; ambient occlusion uses its own count and scale.
std::vector<float> makeDiscSamplingVectors(int count, float scale);
// The same vectors from a generator of the caller's, which takes 2 * count draws; the process-wide
// rand() is left alone. With glibc, a GlibcRandom in the state rand() is in gives what rand() gives.
std::vector<float> makeDiscSamplingVectors(int count, float scale, GlibcRandom& random);

// One rand() draw brought into 0..32767, the range the generator's 1/32767 factor expects. With a
// 15-bit rand() this is the draw itself; a wider RAND_MAX (glibc's is 2^31 - 1) is scaled down, as
// dividing a 31-bit draw by 32767 would throw the vectors far outside the disc.
int drawRand15();

}  // namespace Orvanta
