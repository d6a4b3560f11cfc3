#include "renderer/SamplingVectors.h"

#include "scene/Math.h"

#include <cmath>
#include <cstdlib>

namespace Orvanta {

namespace {
// 1 / 32767 as the single-precision factor the generator has always used.
constexpr float inverseRandRange = 3.0518509e-05f;
}  // namespace

int drawRand15()
{
    long long value = std::rand();
    if constexpr (RAND_MAX == 32767)
        return static_cast<int>(value);
    return static_cast<int>(value * 32767 / RAND_MAX);
}

std::vector<float> makeDiscSamplingVectors(int count, float scale)
{
    std::vector<float> vectors;
    if (count <= 0)
        return vectors;
    vectors.reserve(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        // The two draws are separate statements: their order is part of the sequence.
        float angle = (static_cast<float>(drawRand15()) * inverseRandRange * 2.0f - 1.0f) * EnginePi;
        float radius = std::sqrt(static_cast<float>(drawRand15()) * inverseRandRange);
        vectors.push_back(std::cos(angle) * radius * scale);
        vectors.push_back(std::sin(angle) * radius * scale);
    }
    return vectors;
}

}  // namespace Orvanta
