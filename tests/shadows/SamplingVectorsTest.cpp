#include "renderer/SamplingVectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

using namespace Orvanta;

// rand() is process-wide: each test seeds it itself so that the order of tests does not matter.

TEST(DiscSamplingVectors, LieInsideTheDiscOfTheirScale)
{
    std::srand(1);
    for (float scale : {1.0f, 0.25f}) {
        std::vector<float> vectors = makeDiscSamplingVectors(64, scale);
        ASSERT_EQ(vectors.size(), 128u);
        for (size_t i = 0; i < vectors.size(); i += 2)
            EXPECT_LE(std::hypot(vectors[i], vectors[i + 1]), scale * 1.0001f) << "vector " << i / 2;
    }
}

TEST(DiscSamplingVectors, RepeatWithTheSeedAreDistinctAndDrawTwoValuesEach)
{
    std::srand(77);
    const std::vector<float> vectors = makeDiscSamplingVectors(32, 1.0f);
    const int following = std::rand();
    std::srand(77);
    EXPECT_EQ(makeDiscSamplingVectors(32, 1.0f), vectors);
    // The users of rand() after the shadows at start-up rely on exactly two draws per vector.
    std::srand(77);
    for (int i = 0; i < 64; ++i)
        std::rand();
    EXPECT_EQ(std::rand(), following);
    // A repeated vector would waste one of the few samples a pixel takes.
    std::set<std::pair<float, float>> distinct;
    for (size_t i = 0; i < vectors.size(); i += 2)
        distinct.insert({vectors[i], vectors[i + 1]});
    EXPECT_EQ(distinct.size(), 32u);
}

TEST(DiscSamplingVectors, CoverTheDiscRatherThanClusterAtItsCentre)
{
    // Uniform over the area: about a quarter of the points fall within half the radius.
    std::srand(5);
    std::vector<float> vectors = makeDiscSamplingVectors(4000, 1.0f);
    int inner = 0;
    int positiveX = 0;
    for (size_t i = 0; i < vectors.size(); i += 2) {
        inner += std::hypot(vectors[i], vectors[i + 1]) < 0.5f;
        positiveX += vectors[i] > 0.0f;
    }
    EXPECT_NEAR(inner / 4000.0, 0.25, 0.03);
    EXPECT_NEAR(positiveX / 4000.0, 0.5, 0.03);
}

TEST(DiscSamplingVectors, ScaleMultipliesEveryVector)
{
    std::srand(9);
    std::vector<float> unit = makeDiscSamplingVectors(16, 1.0f);
    std::srand(9);
    std::vector<float> quarter = makeDiscSamplingVectors(16, 0.25f);
    for (size_t i = 0; i < unit.size(); ++i)
        EXPECT_FLOAT_EQ(quarter[i], unit[i] * 0.25f);
    EXPECT_TRUE(makeDiscSamplingVectors(0, 1.0f).empty());
}

#if defined(__GLIBC__)
// The C library is the answer: its rand() after srand with the same seed.
TEST(GlibcRandom, GivesWhatRandGivesAfterSrand)
{
    for (unsigned seed : {0u, 1u, 77u, 4294967295u}) {
        std::srand(seed);
        GlibcRandom random(seed);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(random.next(), std::rand()) << "seed " << seed << ", draw " << i;
    }
}
#endif

TEST(DiscSamplingVectors, FromTheirOwnGeneratorAreTheRandOnesAndLeaveRandAlone)
{
    std::srand(9);
    const std::vector<float> fromRand = makeDiscSamplingVectors(16, 0.25f);
    std::srand(9);
    const int following = std::rand();
    std::srand(9);
    GlibcRandom random(9);
    const std::vector<float> own = makeDiscSamplingVectors(16, 0.25f, random);
    EXPECT_EQ(std::rand(), following);
#if defined(__GLIBC__)
    EXPECT_EQ(own, fromRand);
#endif
    EXPECT_EQ(own.size(), fromRand.size());
}
