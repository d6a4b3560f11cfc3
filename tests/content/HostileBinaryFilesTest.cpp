// Scene and object files that are empty, inconsistent, non-finite, absurdly distant or that name
// paths climbing out of their directory: each is refused (or the placement left out) with a message
// naming the file and the problem.
#include "ContentTestFiles.h"

#include "content/BinaryIo.h"
#include "content/RayTracingGeometry.h"
#include "content/SceneExtent.h"
#include "platform/Log.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;

namespace {

std::string sceneError(const std::vector<uint8_t>& bytes)
{
    SceneFileData data;
    std::string error;
    EXPECT_FALSE(parseSceneFile("s.scene", bytes, data, error));
    EXPECT_EQ(error.rfind("s.scene: ", 0), 0u) << error;
    return error;
}

std::string objectError(const ObjectFileData& object)
{
    ObjectFileData data;
    std::string error;
    EXPECT_FALSE(parseObjectFile("o.object", encodeObjectFile(object), data, error));
    EXPECT_EQ(error.rfind("o.object: ", 0), 0u) << error;
    return error;
}

}  // namespace

TEST(BinaryReader, AnEmptyFileHasNoStringAndNoCount)
{
    BinaryReader in{std::vector<uint8_t>()};
    std::string text = "kept";
    EXPECT_FALSE(in.readCString(text));
    EXPECT_FALSE(in.ok());
    uint32_t count = 0;
    EXPECT_FALSE(in.readU32(count));
    EXPECT_NE(sceneError({}).find("zero byte"), std::string::npos);
}

TEST(HostileSceneFiles, ATagWithoutItsZeroByteOrLeftoverBytesAreRefused)
{
    // Without its zero byte the tag swallows the count after it and every later field shifts;
    // whatever the shifted fields say, the file no longer ends where its counts do.
    for (size_t instances = 0; instances <= 2; ++instances) {
        SceneFileData scene = OrvantaTest::smallScene();
        scene.instances.resize(instances);
        std::vector<uint8_t> bytes = encodeSceneFile(scene);
        bytes.erase(bytes.begin() + 5);
        sceneError(bytes);
        bytes.insert(bytes.begin() + 5, {0, 0, 0, 0});  // whatever follows the lost zero byte
        sceneError(bytes);
    }
    std::vector<uint8_t> bytes = encodeSceneFile(OrvantaTest::smallScene());
    bytes.push_back(0);
    EXPECT_NE(sceneError(bytes).find("1 unexpected bytes after the last occlusion quad"), std::string::npos);
}

TEST(HostileSceneFiles, NonFiniteNumbersEmptyNamesAndClimbingNamesAreRefused)
{
    SceneFileData scene = OrvantaTest::smallScene();
    scene.instances[1].scale.y = INFINITY;
    EXPECT_NE(
        sceneError(encodeSceneFile(scene)).find("instance 1 (props/chair.object) has a number that is not finite"),
        std::string::npos);
    scene = OrvantaTest::smallScene();
    scene.instances[0].orientation.w = std::nanf("");
    EXPECT_NE(sceneError(encodeSceneFile(scene)).find("instance 0"), std::string::npos);
    scene = OrvantaTest::smallScene();
    scene.quads[0].corners[2].x = std::nanf("");
    EXPECT_NE(sceneError(encodeSceneFile(scene)).find("occlusion quad 0"), std::string::npos);
    scene = OrvantaTest::smallScene();
    scene.instances[0].objectName = "";
    EXPECT_NE(sceneError(encodeSceneFile(scene)).find("names no object"), std::string::npos);
    scene = OrvantaTest::smallScene();
    scene.instances[1].objectName = "props/../../../secret.object";
    EXPECT_NE(sceneError(encodeSceneFile(scene)).find("climbs out of the scene's directory"), std::string::npos);
}

TEST(HostileSceneFiles, DistantOrDegeneratePlacementsAreNamed)
{
    SceneInstanceRecord record;
    record.objectName = "a.object";
    EXPECT_EQ(placementProblem(record), "");
    record.position.x = -kMaxSceneCoordinate;
    EXPECT_EQ(placementProblem(record), "");
    record.position.x = 1e30f;
    EXPECT_NE(placementProblem(record).find("beyond 100000 units"), std::string::npos);
    record.position.x = 0;
    record.orientation = {0, 0, 0, 0};
    EXPECT_NE(placementProblem(record).find("zero quaternion"), std::string::npos);
    record.orientation = {};
    record.scale = {1, 2e5f, 1};
    EXPECT_NE(placementProblem(record).find("scale"), std::string::npos);
}

TEST(HostileObjectFiles, NonFiniteOrDistantVerticesAreRefused)
{
    ObjectFileData object = OrvantaTest::smallObject();
    object.vertices[2].position.z = std::nanf("");
    EXPECT_NE(objectError(object).find("vertex 2 has a position that is not finite"), std::string::npos);
    object = OrvantaTest::smallObject();
    object.vertices[3].position.x = 1e30f;
    EXPECT_NE(objectError(object).find("vertex 3"), std::string::npos);
    object = OrvantaTest::smallObject();
    object.vertices[0].normal.y = INFINITY;
    EXPECT_NE(objectError(object).find("vertex 0 has an attribute that is not a finite number"), std::string::npos);
    object = OrvantaTest::smallObject();
    object.maxCorner.x = std::nanf("");
    EXPECT_NE(objectError(object).find("bounding box"), std::string::npos);
    object = OrvantaTest::smallObject();
    object.submeshes[1].specularPower = -INFINITY;
    EXPECT_NE(objectError(object).find("submesh 1 has a specular power"), std::string::npos);
    ObjectFileData empty;
    ObjectFileData data;
    std::string error;
    EXPECT_FALSE(parseObjectFile("o.object", {}, data, error));
    EXPECT_NE(error.find("zero byte"), std::string::npos);
    EXPECT_TRUE(parseObjectFile("o.object", encodeObjectFile(empty), data, error)) << error;
}

TEST(HostileObjectFiles, APlacementThatPutsAVertexBeyondTheExtentAddsNothingToTheTracedGeometry)
{
    const std::string dir = OrvantaTest::makeTempDir("farplacement");
    std::string error;
    ASSERT_TRUE(writeObjectFile(dir + "/quad.object", OrvantaTest::smallObject(), error)) << error;
    RayTracingGeometry geometry;
    auto noFlags = [](const std::string&) { return SurfaceFlags{}; };
    ASSERT_TRUE(appendInstanceGeometry(geometry, dir + "/quad.object", {0, 0, 0}, {1, 1, 1}, {}, noFlags));
    const size_t vertices = geometry.vertices.size(), triangles = geometry.triangles.size();
    std::vector<std::string> messages;
    setLogSink([&](const std::string& m) { messages.push_back(m); });
    EXPECT_FALSE(appendInstanceGeometry(geometry, dir + "/quad.object", {0, 0, 0}, {1e30f, 1, 1}, {}, noFlags));
    EXPECT_FALSE(appendInstanceGeometry(geometry, dir + "/quad.object", {99999.5f, 0, 0}, {1, 1, 1}, {}, noFlags));
    setLogSink({});
    EXPECT_EQ(geometry.vertices.size(), vertices);
    EXPECT_EQ(geometry.triangles.size(), triangles);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find(dir + "/quad.object: placed this way, a vertex lies beyond"), std::string::npos)
        << messages[0];
}
