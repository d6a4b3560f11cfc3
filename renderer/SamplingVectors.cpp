#include "renderer/SamplingVectors.h"

#include "scene/Math.h"

#include <cmath>
#include <cstdlib>

namespace Orvanta {

namespace {
// 1 / 32767 as the single-precision factor the generator has always used.
constexpr float inverseRandRange = 3.0518509e-05f;

// A draw of 0 .. rangeMax brought into 0..32767, as drawRand15 describes.
int toRand15(long long value, long long rangeMax)
{
    if (rangeMax == 32767)
        return static_cast<int>(value);
    return static_cast<int>(value * 32767 / rangeMax);
}

template <typename Draw15>
std::vector<float> discVectors(int count, float scale, Draw15&& draw15)
{
    std::vector<float> vectors;
    if (count <= 0)
        return vectors;
    vectors.reserve(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        // The two draws are separate statements: their order is part of the sequence.
        float angle = (static_cast<float>(draw15()) * inverseRandRange * 2.0f - 1.0f) * EnginePi;
        float radius = std::sqrt(static_cast<float>(draw15()) * inverseRandRange);
        vectors.push_back(std::cos(angle) * radius * scale);
        vectors.push_back(std::sin(angle) * radius * scale);
    }
    return vectors;
}

}  // namespace

int drawRand15()
{
    return toRand15(std::rand(), RAND_MAX);
}

std::vector<float> makeDiscSamplingVectors(int count, float scale)
{
    return discVectors(count, scale, [] { return drawRand15(); });
}

std::vector<float> makeDiscSamplingVectors(int count, float scale, GlibcRandom& random)
{
    return discVectors(count, scale, [&random] { return toRand15(random.next(), 2147483647); });
}

}  // namespace Orvanta
