// The sky lighting volume's bookkeeping without GL: its sampling directions, the progressive
// slice schedule and the matrices that put a slice over the 64 x 64 target.
#include "platform/Log.h"
#include "renderer/SkyLightingVolume.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

constexpr double Pi = 3.14159265358979323846;

std::vector<uint32_t> range(uint32_t first, uint32_t count, uint32_t modulo)
{
    std::vector<uint32_t> slices;
    for (uint32_t i = 0; i < count; ++i)
        slices.push_back((first + i) % modulo);
    return slices;
}

// Runs frames until one writes nothing; returns the slices of each frame that wrote.
std::vector<std::vector<uint32_t>> framesUntilDone(SkyLightingVolume& volume)
{
    std::vector<std::vector<uint32_t>> frames;
    for (int guard = 0; guard < 100; ++guard) {
        std::vector<uint32_t> slices = takeSkyLightingSlices(volume);
        if (slices.empty())
            break;
        frames.push_back(slices);
    }
    return frames;
}

Float3 clipOf(const SkyLightingVolume& volume, Float3 world)
{
    Matrix4 m = multiply(skyLightingSliceProjection(volume), skyLightingSliceModelview());
    return transformPoint(m, world);
}

}  // namespace

TEST(SkyLightingSamplingVectors, SpiralDownTheHemisphereByTheGoldenAngle)
{
    std::vector<Float3> vectors = skyLightingSamplingVectors();
    ASSERT_EQ(vectors.size(), 100u);
    float expectedY = 0.995f;
    for (size_t i = 0; i < vectors.size(); ++i) {
        const Float3& v = vectors[i];
        EXPECT_NEAR(length(v), 1.0f, 1e-6f) << i;
        EXPECT_FLOAT_EQ(v.y, expectedY) << i;
        expectedY -= 0.01f;
        if (i > 0) {
            // Consecutive azimuths differ by the golden angle (modulo a full turn).
            double step = std::atan2(v.z, v.x) - std::atan2(vectors[i - 1].z, vectors[i - 1].x);
            double turns = (step - 2.3999627) / (2.0 * Pi);
            EXPECT_NEAR(turns, std::round(turns), 2e-5) << i;
        }
    }
    // The first vector starts at azimuth 0; the last is still above the horizon.
    EXPECT_GT(vectors[0].x, 0.0f);
    EXPECT_FLOAT_EQ(vectors[0].z, 0.0f);
    EXPECT_GT(vectors.back().y, 0.0f);
    EXPECT_LT(vectors.back().y, 0.01f);
}

TEST(SkyLightingSchedule, FirstFrameBuildsWholeThenOneSliceAFrameAfterEachRestart)
{
    SkyLightingVolume volume;
    // Start-up: all sixteen layers and the first again, in one frame.
    std::vector<std::vector<uint32_t>> frames = framesUntilDone(volume);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], range(0, 17, 16));
    EXPECT_FALSE(volume.completeNow);
    EXPECT_EQ(volume.nextSlice, 1u);

    // A sun move: one layer a frame, from where the last rebuild stopped, its first layer again
    // at the end.
    restartSkyLightingVolume(volume);
    frames = framesUntilDone(volume);
    ASSERT_EQ(frames.size(), 17u);
    for (size_t f = 0; f < frames.size(); ++f)
        EXPECT_EQ(frames[f], std::vector<uint32_t>{static_cast<uint32_t>((1 + f) % 16)}) << "frame " << f;
    EXPECT_EQ(volume.slicesWrittenSinceRestart, 17u);
    EXPECT_TRUE(takeSkyLightingSlices(volume).empty());
}

TEST(SkyLightingSchedule, ARestartDuringARebuildEndsItSeventeenSlicesAfterTheLastChange)
{
    SkyLightingVolume volume;
    framesUntilDone(volume);
    restartSkyLightingVolume(volume);
    for (int frame = 0; frame < 5; ++frame)
        ASSERT_EQ(takeSkyLightingSlices(volume).size(), 1u);
    uint32_t next = volume.nextSlice;
    restartSkyLightingVolume(volume);
    EXPECT_EQ(volume.nextSlice, next) << "a restart keeps the next slice";
    std::vector<std::vector<uint32_t>> frames = framesUntilDone(volume);
    ASSERT_EQ(frames.size(), 17u);
    EXPECT_EQ(frames.front(), std::vector<uint32_t>{next});
    EXPECT_EQ(frames.back(), std::vector<uint32_t>{next});

    // Frames without a restart in between (the switch off) simply do not advance it.
    restartSkyLightingVolume(volume);
    takeSkyLightingSlices(volume);
    EXPECT_EQ(volume.slicesWrittenSinceRestart, 1u);
    EXPECT_EQ(framesUntilDone(volume).size(), 16u);
}

TEST(SkyLightingSliceMatrices, MapTheVolumeOntoTheTargetWithOneFragmentPerCell)
{
    SkyLightingVolume volume;
    // Texture x runs with world x and texture y with world z over the whole target.
    Float3 lowCorner = clipOf(volume, {-64.0f, 1.0f, -64.0f});
    Float3 highCorner = clipOf(volume, {64.0f, 1.0f, 64.0f});
    EXPECT_NEAR(lowCorner.x, -1.0f, 1e-6f);
    EXPECT_NEAR(lowCorner.y, -1.0f, 1e-6f);
    EXPECT_NEAR(highCorner.x, 1.0f, 1e-6f);
    EXPECT_NEAR(highCorner.y, 1.0f, 1e-6f);
    // A cell centre lands on a pixel centre of the 64-wide viewport: cell 10 along x, 40 along z.
    Float3 cell = clipOf(volume, {-64.0f + 2.0f * 10.5f, 5.0f, -64.0f + 2.0f * 40.5f});
    EXPECT_NEAR((cell.x * 0.5f + 0.5f) * 64.0f, 10.5f, 1e-4f);
    EXPECT_NEAR((cell.y * 0.5f + 0.5f) * 64.0f, 40.5f, 1e-4f);
    // Every slice height lies inside the depth range; the floor at 1, the top at -1.
    EXPECT_NEAR(clipOf(volume, {0.0f, 0.0f, 0.0f}).z, 1.0f, 1e-6f);
    EXPECT_NEAR(clipOf(volume, {0.0f, 32.0f, 0.0f}).z, -1.0f, 1e-6f);
    for (uint32_t slice = 0; slice < volume.height; ++slice) {
        float z = clipOf(volume, {0.0f, 2.0f * (static_cast<float>(slice) + 0.5f), 0.0f}).z;
        EXPECT_LT(std::fabs(z), 1.0f) << slice;
    }
}

TEST(SkyOcclusionCornersForTheVolume, WholeQuadsUpToTheShadersCapacityAreKeptAndTheRestReported)
{
    std::string logged;
    setLogSink([&](const std::string& message) { logged += message + "\n"; });
    SkyLightingVolume volume;
    setSkyOcclusionCorners(volume, std::vector<Float3>(8, Float3{1, 2, 3}));
    EXPECT_EQ(volume.occlusionCorners.size(), 8u);
    EXPECT_TRUE(logged.empty()) << logged;

    setSkyOcclusionCorners(volume, std::vector<Float3>(10));
    EXPECT_EQ(volume.occlusionCorners.size(), 8u);
    EXPECT_NE(logged.find("10 corners"), std::string::npos) << logged;

    logged.clear();
    setSkyOcclusionCorners(volume, std::vector<Float3>(SkyLightingVolume::MaxOcclusionCorners + 40));
    EXPECT_EQ(volume.occlusionCorners.size(), static_cast<size_t>(SkyLightingVolume::MaxOcclusionCorners));
    EXPECT_NE(logged.find("74 quads"), std::string::npos) << logged;

    setSkyOcclusionCorners(volume, {});
    EXPECT_TRUE(volume.occlusionCorners.empty());
    setLogSink(nullptr);
}
