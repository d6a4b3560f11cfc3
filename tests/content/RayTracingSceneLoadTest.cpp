// The ray tracer's half of scene loading runs on its own thread and reads each object file once;
// what it produces must be exactly what appending every placement on its own produces, and the
// kd-tree it obtains must be the one a later start reads back.
#include "content/RayTracingSceneLoad.h"
#include "content/KdTree.h"
#include "content/RayTracingScene.h"
#include "ContentTestFiles.h"
#include "platform/Log.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

using namespace Orvanta;

namespace {

struct Messages {
    std::vector<std::string> lines;
    Messages()
    {
        setLogSink([this](const std::string& m) { lines.push_back(m); });
    }
    ~Messages() { setLogSink({}); }
    int containing(const std::string& text) const
    {
        int n = 0;
        for (const std::string& m : lines)
            n += m.find(text) != std::string::npos;
        return n;
    }
};

// A scene placing one readable object three times (two of them turned and scaled) and a missing
// object twice. The object carries no texture names, so no image is looked up.
std::string writePlacementScene(const std::string& dir)
{
    Orvanta::ObjectFileData object = OrvantaTest::smallObject();
    for (Orvanta::SubmeshRecord& s : object.submeshes)
        s.colorTextureName = s.normalTextureName = s.specularTextureName = "";
    std::string error;
    EXPECT_TRUE(writeObjectFile(dir + "/box.object", object, error)) << error;
    Orvanta::SceneFileData scene = OrvantaTest::smallScene();
    scene.instances.push_back(scene.instances[0]);
    scene.instances.back().position = {7, -1, 2};
    scene.instances.back().scale = {1, 3, 1};
    scene.instances.push_back(scene.instances[1]);  // the missing chair again
    scene.instances.push_back(scene.instances[0]);
    EXPECT_TRUE(writeSceneFile(dir + "/s.scene", scene, error)) << error;
    return dir + "/s.scene";
}

void expectSameGeometry(const RayTracingGeometry& a, const RayTracingGeometry& b)
{
    ASSERT_EQ(a.vertices.size(), b.vertices.size());
    ASSERT_EQ(a.triangles.size(), b.triangles.size());
    EXPECT_EQ(std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(RtVertex)), 0);
    for (size_t i = 0; i < a.triangles.size(); ++i) {
        const RtTriangle &s = a.triangles[i], &t = b.triangles[i];
        EXPECT_EQ(s.index0, t.index0);
        EXPECT_EQ(s.index1, t.index1);
        EXPECT_EQ(s.index2, t.index2);
        EXPECT_EQ(s.surface->doubleSided, t.surface->doubleSided);
        EXPECT_EQ(s.boxMin.x, t.boxMin.x);
        EXPECT_EQ(s.boxMax.z, t.boxMax.z);
    }
}

}  // namespace

TEST(RayTracingSceneLoad, ObjectsReadOnceGiveWhatEveryPlacementAppendedAloneGives)
{
    const std::string dir = OrvantaTest::makeTempDir("rtplacements");
    const std::string scenePath = writePlacementScene(dir);
    SceneFileData scene;
    std::string error;
    ASSERT_TRUE(readSceneFile(scenePath, scene, error)) << error;

    Messages messages;
    RayTracingGeometry reference;
    for (const SceneInstanceRecord& r : scene.instances)
        appendInstanceGeometry(reference, dir + "/" + r.objectName, r.position, r.scale, r.orientation,
                               materialFileSurfaceFlags);
    EXPECT_EQ(reference.triangles.size(), 3u * 2u);
    EXPECT_EQ(messages.containing("props/chair.object"), 2) << "the per-placement path reports each placement";

    RayTracingGeometry shared;
    std::string tag;
    const int before = int(messages.lines.size());
    ASSERT_TRUE(loadRayTracingScene(scenePath, shared, tag, error)) << error;
    EXPECT_EQ(tag, "tag-1");
    expectSameGeometry(shared, reference);
    EXPECT_EQ(messages.containing("props/chair.object"), 3) << "one more report for the missing file, not two";

    RayTracingGeometry quiet;
    const int reported = int(messages.lines.size());
    ASSERT_TRUE(loadRayTracingScene(scenePath, quiet, tag, error, false)) << error;
    expectSameGeometry(quiet, reference);
    EXPECT_EQ(int(messages.lines.size()), reported) << "the drawing loader reports missing objects";
    EXPECT_GT(reported, before);
}

TEST(RayTracingSceneLoad, FirstLoadBuildsAndSavesTheTreeALaterOneReadsTheSameTree)
{
    const std::string dir = OrvantaTest::makeTempDir("rtbackground");
    const std::string scenePath = writePlacementScene(dir);
    std::filesystem::remove(kdTreePathForScene(scenePath));
    // The chair the other tests leave missing is written here: the tree of a partly loaded scene is
    // never saved, and this test is about a scene that loads whole.
    std::filesystem::create_directories(dir + "/props");
    std::string writeError;
    ASSERT_TRUE(writeObjectFile(dir + "/props/chair.object", OrvantaTest::smallObject(), writeError)) << writeError;
    Messages messages;

    RayTracingGeometry firstGeometry;
    KdTree first;
    SceneLoadTimes firstTimes;
    {
        RayTracingSceneLoad load(scenePath, firstGeometry, first);
        EXPECT_EQ(load.scenePath(), scenePath);
        ASSERT_TRUE(load.wait(&firstTimes));
    }
    EXPECT_TRUE(firstTimes.kdTreeBuilt);
    EXPECT_TRUE(std::filesystem::exists(kdTreePathForScene(scenePath)));
    EXPECT_EQ(first.geometry, &firstGeometry);
    EXPECT_EQ(firstGeometry.triangles.size(), 10u);  // three boxes and two chairs
    EXPECT_GE(firstTimes.rayTracingWait, 0.0);

    RayTracingGeometry secondGeometry;
    KdTree second;
    SceneLoadTimes secondTimes;
    RayTracingSceneLoad again(scenePath, secondGeometry, second);
    ASSERT_TRUE(again.wait(&secondTimes));
    EXPECT_FALSE(secondTimes.kdTreeBuilt) << "the saved tree is read, not rebuilt";
    expectSameGeometry(secondGeometry, firstGeometry);
    ASSERT_EQ(second.nodes.size(), first.nodes.size());
    EXPECT_EQ(std::memcmp(second.nodes.data(), first.nodes.data(), first.nodes.size() * sizeof(KdTraceNode)), 0);
    EXPECT_EQ(second.leafTriangles, first.leafTriangles);
    EXPECT_EQ(messages.containing("props/chair.object"), 0) << "the background load stays quiet about objects";
}

TEST(RayTracingSceneLoad, AMissingSceneLoadsNothingAndLeavesTheReportToTheSceneLoader)
{
    Messages messages;
    RayTracingGeometry geometry;
    KdTree tree;
    RayTracingSceneLoad load("resources/objects/scene/nowhere.scene", geometry, tree);
    EXPECT_FALSE(load.wait());
    EXPECT_FALSE(load.wait()) << "waiting twice is harmless";
    EXPECT_TRUE(geometry.triangles.empty());
    EXPECT_TRUE(tree.nodes.empty());
    EXPECT_TRUE(messages.lines.empty());
}

TEST(Log, MessagesFromSeveralThreadsAreAllCountedAndDelivered)
{
    Messages messages;
    const int before = loggedErrorCount();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 2000; ++i)
                logError("loader message");
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(loggedErrorCount() - before, 8000);
    EXPECT_EQ(messages.containing("loader message"), 8000);
}
