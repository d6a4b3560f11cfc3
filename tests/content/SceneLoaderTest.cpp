#include "ContentTestFiles.h"
#include "support/GlTestContext.h"

#include "content/BinaryIo.h"
#include "content/KdTree.h"
#include "content/Object.h"
#include "content/RayTracingGeometry.h"
#include "content/SceneLoader.h"
#include "content/SkyOcclusion.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

// Captures logged messages for the life of the test.
struct LogCapture {
    std::vector<std::string> messages;
    LogCapture()
    {
        setLogSink([this](const std::string& m) { messages.push_back(m); });
    }
    ~LogCapture() { setLogSink({}); }
    int countContaining(const std::string& text) const
    {
        int n = 0;
        for (const std::string& m : messages)
            n += m.find(text) != std::string::npos;
        return n;
    }
};

}  // namespace

TEST(SceneLoading, MissingSceneIsReportedAndLeavesAnEmptyScene)
{
    skyOcclusionCorners().assign(3, Float3{1, 1, 1});
    LogCapture log;
    std::vector<ObjectInstance*> instances;
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    loadScene("/nonexistent/none.scene", instances, tracedGeometry, tracedTree);
    EXPECT_TRUE(instances.empty());
    EXPECT_TRUE(skyOcclusionCorners().empty());
    EXPECT_EQ(log.countContaining("/nonexistent/none.scene"), 1);
}

TEST(SceneLoading, TruncatedSceneCreatesNothing)
{
    std::string dir = OrvantaTest::makeTempDir("truncscene");
    std::vector<uint8_t> bytes = encodeSceneFile(OrvantaTest::smallScene());
    bytes.resize(bytes.size() - 1);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(dir + "/t.scene", bytes, error));
    LogCapture log;
    int readsBefore = objectFileReadCount();
    std::vector<ObjectInstance*> instances;
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    loadScene(dir + "/t.scene", instances, tracedGeometry, tracedTree);
    EXPECT_TRUE(instances.empty());
    EXPECT_TRUE(skyOcclusionCorners().empty());
    EXPECT_EQ(objectFileReadCount(), readsBefore);  // no object was looked at
    EXPECT_EQ(log.countContaining("t.scene"), 1);
}

TEST(SceneLoading, QuadsBecomeFourCornersEachWithCornerThreeOnZZero)
{
    std::string dir = OrvantaTest::makeTempDir("quads");
    SceneFileData scene = OrvantaTest::smallScene();
    scene.instances.clear();
    scene.quads.push_back(scene.quads[0]);
    scene.quads[1].corners[0] = {-5, -6, -7};
    std::string error;
    ASSERT_TRUE(writeSceneFile(dir + "/q.scene", scene, error)) << error;
    std::vector<ObjectInstance*> instances;
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    loadScene(dir + "/q.scene", instances, tracedGeometry, tracedTree);
    const std::vector<Float3>& corners = skyOcclusionCorners();
    ASSERT_EQ(corners.size(), 8u);
    EXPECT_EQ(corners[0], (Float3{0, 1, 2}));
    EXPECT_EQ(corners[3], (Float3{9, 10, 0}));
    EXPECT_EQ(corners[4], (Float3{-5, -6, -7}));
    EXPECT_EQ(corners[7], (Float3{9, 10, 0}));
    EXPECT_TRUE(instances.empty());

    scene.quads.clear();
    ASSERT_TRUE(writeSceneFile(dir + "/q.scene", scene, error)) << error;
    loadScene(dir + "/q.scene", instances, tracedGeometry, tracedTree);
    EXPECT_TRUE(skyOcclusionCorners().empty());
}

TEST(SceneLoading, UnloadableObjectsAreReportedOnceByResolvedPathAndSkipped)
{
    std::string dir = OrvantaTest::makeTempDir("missingobjects");
    SceneFileData scene = OrvantaTest::smallScene();
    scene.instances.push_back(scene.instances[1]);  // the same missing object twice
    std::string error;
    ASSERT_TRUE(writeSceneFile(dir + "/m.scene", scene, error)) << error;
    LogCapture log;
    int readsBefore = objectFileReadCount();
    std::vector<ObjectInstance*> instances;
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    loadScene(dir + "/m.scene", instances, tracedGeometry, tracedTree);
    EXPECT_TRUE(instances.empty());
    EXPECT_EQ(log.countContaining(dir + "/box.object"), 1);
    EXPECT_EQ(log.countContaining(dir + "/props/chair.object"), 1);
    EXPECT_EQ(objectFileReadCount(), readsBefore + 2);
    EXPECT_EQ(skyOcclusionCorners().size(), 4u);  // the quads still load

    // A later request for a failed object neither reads nor reports again.
    EXPECT_EQ(findOrLoadObject(dir + "/box.object"), nullptr);
    EXPECT_EQ(objectFileReadCount(), readsBefore + 2);
    EXPECT_EQ(log.countContaining(dir + "/box.object"), 1);
}
