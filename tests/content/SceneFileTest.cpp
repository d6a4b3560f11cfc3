#include "ContentTestFiles.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Orvanta;
using OrvantaTest::smallScene;

TEST(SceneFile, WrittenRecordsReadBackEqual)
{
    std::string dir = OrvantaTest::makeTempDir("scenefile");
    SceneFileData written = smallScene();
    std::string error;
    ASSERT_TRUE(writeSceneFile(dir + "/a.scene", written, error)) << error;
    SceneFileData read;
    ASSERT_TRUE(readSceneFile(dir + "/a.scene", read, error)) << error;
    EXPECT_EQ(read.sceneTag, "tag-1");
    ASSERT_EQ(read.instances.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read.instances[i].position, written.instances[i].position);
        EXPECT_EQ(read.instances[i].orientation, written.instances[i].orientation);
        EXPECT_EQ(read.instances[i].scale, written.instances[i].scale);
        EXPECT_EQ(read.instances[i].objectName, written.instances[i].objectName);
    }
    ASSERT_EQ(read.quads.size(), 1u);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(read.quads[0].corners[c], written.quads[0].corners[c]);
}

TEST(SceneFile, QuadRecordsHoldElevenFloatsAndTheLastZIsZero)
{
    SceneFileData d = smallScene();
    d.instances.clear();
    d.quads[0].corners[3].z = 99.0f;  // not part of the record: never written
    d.quads.push_back(d.quads[0]);
    std::vector<uint8_t> bytes = encodeSceneFile(d);
    EXPECT_EQ(bytes.size(), 6u + 4 + 4 + 2 * 44);

    // Whatever follows the eleventh float (here the next quad's first float) is not corner 3's z.
    SceneFileData read;
    std::string error;
    ASSERT_TRUE(parseSceneFile("t.scene", bytes, read, error)) << error;
    ASSERT_EQ(read.quads.size(), 2u);
    for (const OcclusionQuad& q : read.quads) {
        EXPECT_EQ(q.corners[3].x, 9.0f);
        EXPECT_EQ(q.corners[3].y, 10.0f);
        EXPECT_EQ(q.corners[3].z, 0.0f);
    }
    EXPECT_EQ(read.quads[1].corners[0], (Float3{0, 1, 2}));
}

TEST(SceneFile, EveryTruncationIsRejected)
{
    std::vector<uint8_t> bytes = encodeSceneFile(smallScene());
    for (size_t length = 0; length < bytes.size(); ++length) {
        SceneFileData data;
        std::string error;
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
        EXPECT_FALSE(parseSceneFile("t.scene", cut, data, error)) << "length " << length;
        EXPECT_NE(error.find("t.scene"), std::string::npos);
    }
}

TEST(SceneFile, CountsLargerThanTheDataAreRejected)
{
    SceneFileData d = smallScene();
    std::vector<uint8_t> valid = encodeSceneFile(d);
    size_t instanceCountAt = d.sceneTag.size() + 1;
    size_t quadCountAt = valid.size() - 4 - 44;
    for (size_t at : {instanceCountAt, quadCountAt}) {
        for (uint32_t count : {3u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            std::vector<uint8_t> bytes = valid;
            std::memcpy(bytes.data() + at, &count, 4);
            SceneFileData data;
            std::string error;
            EXPECT_FALSE(parseSceneFile("t.scene", bytes, data, error)) << at << " " << count;
        }
    }
}

TEST(SceneFile, EmptySceneIsValid)
{
    SceneFileData d;
    d.sceneTag = "";
    SceneFileData read;
    std::string error;
    ASSERT_TRUE(parseSceneFile("t.scene", encodeSceneFile(d), read, error)) << error;
    EXPECT_TRUE(read.instances.empty());
    EXPECT_TRUE(read.quads.empty());
}

TEST(ScenePaths, ObjectNamesResolveAgainstTheSceneDirectory)
{
    EXPECT_EQ(sceneDirectory("resources/objects/scene/kindergarten.scene"), "resources/objects/scene/");
    EXPECT_EQ(sceneDirectory("a\\b\\c.scene"), "a\\b\\");
    EXPECT_EQ(sceneDirectory("a/b\\c.scene"), "a/b\\");
    EXPECT_EQ(sceneDirectory("plain.scene"), "");
    EXPECT_EQ(sceneDirectory("/root.scene"), "/");
}

TEST(ScenePaths, KdTreePathReplacesSevenCharactersFromTheFirstSceneSuffix)
{
    EXPECT_EQ(kdTreePathForScene("resources/objects/scene/kindergarten.scene"),
              "resources/objects/scene/kindergarten.kdTree");
    EXPECT_EQ(kdTreePathForScene("x.scene"), "x.kdTree");
    // Seven characters: the one after ".scene" goes too.
    EXPECT_EQ(kdTreePathForScene("x.sceneAB"), "x.kdTreeB");
    EXPECT_EQ(kdTreePathForScene("a.scene/b.scene"), "a.kdTreeb.scene");
    EXPECT_EQ(kdTreePathForScene("no-suffix.scn"), "");
}
