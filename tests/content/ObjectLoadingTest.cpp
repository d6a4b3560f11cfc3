#include "ContentTestFiles.h"
#include "support/GlTestContext.h"

#include "content/BinaryIo.h"
#include "content/KdTree.h"
#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "content/RayTracingGeometry.h"
#include "content/SceneLoader.h"
#include "content/SubmeshDraw.h"
#include "gpu/Material.h"
#include "gpu/ResourceCache.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/TgaFile.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace Orvanta;

namespace {

// Runs a test inside a fresh directory with its own resources/ tree (material and texture paths
// are fixed relative paths), restoring the working directory afterwards.
class ObjectLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        root = OrvantaTest::makeTempDir("objects");
        std::filesystem::current_path(root);
        std::filesystem::create_directories("resources/textures");
        std::filesystem::create_directories("resources/materials");
        std::filesystem::create_directories("resources/objects/scene/props");
        std::string error;
        for (const char* name : {"stone.tga", "stoneNormal.tga", "stoneSpecular.tga"})
            ASSERT_TRUE(writeTgaFile(std::string("resources/textures/") + name, 1, 1, 24, {10, 20, 30}, error))
                << error;
        setLogSink([this](const std::string& m) { messages.push_back(m); });
    }
    void TearDown() override
    {
        setLogSink({});
        std::filesystem::current_path(previous);
    }
    // A unique object path per test, so the process-wide cache never hides a load.
    std::string writeObject(const std::string& relativePath, const ObjectFileData& data)
    {
        std::string error;
        EXPECT_TRUE(writeObjectFile(relativePath, data, error)) << error;
        return relativePath;
    }

    std::filesystem::path previous;
    std::string root;
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(ObjectLoading, BuffersHoldTheFileDataAndSubmeshesTheirIndexRanges)
{
    ORVANTA_REQUIRE_GL();
    ObjectFileData data = OrvantaTest::smallObject();
    Object* object = findOrLoadObject(writeObject("resources/objects/quad.object", data));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->minCorner, data.minCorner);
    EXPECT_EQ(object->maxCorner, data.maxCorner);
    ASSERT_TRUE(glIsBufferARB(object->vertexBuffer));
    ASSERT_TRUE(glIsBufferARB(object->indexBuffer));
    EXPECT_NE(object->vertexBuffer, object->indexBuffer);

    std::vector<ObjectVertex> vertices(4);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, object->vertexBuffer);
    glGetBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, 4 * 56, vertices.data());
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    EXPECT_EQ(std::memcmp(vertices.data(), data.vertices.data(), 4 * 56), 0);
    std::vector<uint32_t> indices(6);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, object->indexBuffer);
    glGetBufferSubDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0, 6 * 4, indices.data());
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    EXPECT_EQ(indices, data.indices);

    // One triangle per submesh: three indices each, the second starting at byte 12.
    ASSERT_EQ(object->submeshes.size(), 2u);
    EXPECT_EQ(object->submeshes[0].firstIndex, 0u);
    EXPECT_EQ(object->submeshes[0].lastIndex, 2u);
    EXPECT_EQ(object->submeshes[1].firstIndex, 3u);
    EXPECT_EQ(object->submeshes[1].lastIndex, 5u);
    EXPECT_EQ(submeshIndexCount(object->submeshes[1]), 3);
    EXPECT_EQ(submeshIndexOffset(object->submeshes[1]), 12u);
    EXPECT_EQ(checkGlErrors("object upload"), 0);
}

TEST_F(ObjectLoading, SubmeshMaterialsResolveTexturesAndMaterialByResourcePath)
{
    ORVANTA_REQUIRE_GL();
    Object* object = findOrLoadObject(writeObject("resources/objects/textured.object", OrvantaTest::smallObject()));
    ASSERT_NE(object, nullptr);
    const SubmeshMaterial* first = object->submeshes[0].material;
    const SubmeshMaterial* second = object->submeshes[1].material;
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    ResourceCache& cache = resourceCache();
    EXPECT_EQ(first->colorTexture, cache.textures.find("resources/textures/stone.tga"));
    EXPECT_EQ(first->normalTexture, cache.textures.find("resources/textures/stoneNormal.tga"));
    EXPECT_EQ(first->specularTexture, cache.textures.find("resources/textures/stoneSpecular.tga"));
    EXPECT_NE(first->colorTexture, nullptr);
    EXPECT_NE(first->colorTexture, first->normalTexture);
    EXPECT_EQ(first->material, cache.materials.find("resources/materials/stone.material"));
    EXPECT_NE(first->material, nullptr);
    EXPECT_EQ(first->specularPower, 16.0f);
    // Empty names leave empty slots; the material is still resolved.
    EXPECT_EQ(second->colorTexture, nullptr);
    EXPECT_EQ(second->normalTexture, nullptr);
    EXPECT_EQ(second->specularTexture, nullptr);
    EXPECT_EQ(second->material, cache.materials.find("resources/materials/plain.material"));
    EXPECT_EQ(second->specularPower, 2.0f);
}

TEST_F(ObjectLoading, OneFileIsSharedByInstancesButTwoPathStringsLoadTwice)
{
    ORVANTA_REQUIRE_GL();
    std::string path = writeObject("resources/objects/shared.object", OrvantaTest::smallObject());
    int reads = objectFileReadCount();
    ObjectInstance* a = createObjectInstance(path, {0, 0, 0}, {1, 1, 1}, {});
    ObjectInstance* b = createObjectInstance(path, {5, 0, 0}, {1, 1, 1}, {});
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->object, b->object);
    EXPECT_EQ(objectFileReadCount(), reads + 1);
    EXPECT_EQ(resourceCache().objects.find(path), a->object);

    ObjectInstance* c = createObjectInstance("resources/objects/../objects/shared.object", {}, {1, 1, 1}, {});
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->object, a->object);
    EXPECT_EQ(objectFileReadCount(), reads + 2);
    delete a;
    delete b;
    delete c;
}

TEST_F(ObjectLoading, BadObjectFileIsReportedOnceAndYieldsNoInstance)
{
    ORVANTA_REQUIRE_GL();
    std::vector<uint8_t> bytes = encodeObjectFile(OrvantaTest::smallObject());
    bytes.resize(bytes.size() - 3);
    std::string error;
    ASSERT_TRUE(writeFileAtomically("resources/objects/cut.object", bytes, error));
    size_t buffersBefore = resourceCache().objects.size();
    EXPECT_EQ(createObjectInstance("resources/objects/cut.object", {}, {1, 1, 1}, {}), nullptr);
    EXPECT_EQ(createObjectInstance("resources/objects/cut.object", {}, {1, 1, 1}, {}), nullptr);
    EXPECT_EQ(resourceCache().objects.size(), buffersBefore);
    int reports = 0;
    for (const std::string& m : messages)
        reports += m.find("resources/objects/cut.object") != std::string::npos;
    EXPECT_EQ(reports, 1);
}

TEST_F(ObjectLoading, SceneInstancesFollowFileOrderWithObjectsBesideTheScene)
{
    ORVANTA_REQUIRE_GL();
    writeObject("resources/objects/scene/box.object", OrvantaTest::smallObject());
    writeObject("resources/objects/scene/props/chair.object", OrvantaTest::smallObject());
    SceneFileData scene = OrvantaTest::smallScene();
    scene.instances.push_back(scene.instances[0]);  // box twice
    std::string error;
    ASSERT_TRUE(writeSceneFile("resources/objects/scene/room.scene", scene, error)) << error;
    std::vector<ObjectInstance*> instances;
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    loadScene("resources/objects/scene/room.scene", instances, tracedGeometry, tracedTree);
    ASSERT_EQ(instances.size(), 3u);
    // The placed instances' triangles go into the geometry handed in, and the tree covers it.
    EXPECT_FALSE(tracedGeometry.triangles.empty());
    EXPECT_EQ(tracedTree.geometry, &tracedGeometry);
    EXPECT_FALSE(tracedTree.nodes.empty());
    ResourceCache& cache = resourceCache();
    EXPECT_EQ(instances[0]->object, cache.objects.find("resources/objects/scene/box.object"));
    EXPECT_EQ(instances[1]->object, cache.objects.find("resources/objects/scene/props/chair.object"));
    EXPECT_EQ(instances[2]->object, instances[0]->object);
    EXPECT_NE(instances[0]->object, nullptr);
    EXPECT_NE(instances[1]->object, nullptr);
    EXPECT_EQ(instances[0]->position, (Float3{1, 2, 3}));
    EXPECT_EQ(instances[0]->scale, (Float3{2, 2, 2}));
    EXPECT_EQ(instances[0]->orientation, (Quaternion{0, 0.6f, 0, 0.8f}));
    EXPECT_EQ(instances[1]->position, (Float3{-4, 0, 9}));
    for (ObjectInstance* instance : instances)
        delete instance;
}

TEST_F(ObjectLoading, DoubleSidedSubmeshDrawsWithCullingRestored)
{
    ORVANTA_REQUIRE_GL();
    Object* object = findOrLoadObject(writeObject("resources/objects/drawn.object", OrvantaTest::smallObject()));
    ASSERT_NE(object, nullptr);
    Material doubleSided;
    doubleSided.isDoubleSided = true;
    SubmeshMaterial submeshMaterial;
    submeshMaterial.material = &doubleSided;
    Submesh submesh = object->submeshes[0];
    submesh.material = &submeshMaterial;

    glEnable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    bindObjectBuffers(*object);
    glVertexPointer(3, GL_FLOAT, 56, nullptr);
    drawSubmesh(submesh);
    drawSubmesh(object->submeshes[1]);
    unbindObjectBuffers();
    glDisableClientState(GL_VERTEX_ARRAY);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(checkGlErrors("submesh draw"), 0);
}

TEST_F(ObjectLoading, APartlyLoadedSceneNeverSavesItsTree)
{
    // The last object is cut short: the scene loads without it, and its tree must not be saved
    // under the scene's tag, or it would keep loading once the file is repaired.
    ORVANTA_REQUIRE_GL();
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    writeObject("resources/objects/scene/whole.object", OrvantaTest::smallObject());
    std::vector<uint8_t> cut = encodeObjectFile(OrvantaTest::smallObject());
    cut.resize(cut.size() - 10);
    std::string error;
    ASSERT_TRUE(writeFileAtomically("resources/objects/scene/props/cut.object", cut, error)) << error;
    SceneFileData scene = OrvantaTest::smallScene();
    scene.instances[0].objectName = "whole.object";
    scene.instances[1].objectName = "props/cut.object";
    ASSERT_TRUE(writeSceneFile("resources/objects/scene/partial.scene", scene, error)) << error;
    std::vector<ObjectInstance*> instances;
    loadScene("resources/objects/scene/partial.scene", instances, tracedGeometry, tracedTree);
    EXPECT_EQ(instances.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists("resources/objects/scene/partial.kdTree"));
    EXPECT_EQ(tracedTree.geometry, &tracedGeometry);
    EXPECT_FALSE(tracedTree.nodes.empty());  // built in memory all the same
}

TEST_F(ObjectLoading, ADistantPlacementIsLeftOutWithAMessageAndTheRestLoads)
{
    ORVANTA_REQUIRE_GL();
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    writeObject("resources/objects/scene/far.object", OrvantaTest::smallObject());
    writeObject("resources/objects/scene/props/near.object", OrvantaTest::smallObject());
    SceneFileData scene = OrvantaTest::smallScene();
    scene.instances[0].objectName = "far.object";
    scene.instances[1].objectName = "props/near.object";
    scene.instances[0].position.x = 1e30f;
    std::string error;
    ASSERT_TRUE(writeSceneFile("resources/objects/scene/far.scene", scene, error)) << error;
    messages.clear();
    std::vector<ObjectInstance*> instances;
    loadScene("resources/objects/scene/far.scene", instances, tracedGeometry, tracedTree);
    ASSERT_EQ(instances.size(), 1u);
    EXPECT_EQ(instances[0]->position, (Float3{-4, 0, 9}));
    EXPECT_EQ(tracedGeometry.triangles.size(), 2u);
    int reports = 0;
    for (const std::string& m : messages)
        reports += m.find("resources/objects/scene/far.scene: instance 0 (resources/objects/scene/far.object) is "
                          "left out: its position lies beyond") != std::string::npos;
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(std::filesystem::exists("resources/objects/scene/far.kdTree"));

    // The whole scene again, every placement sane: its tree is saved and loads for its geometry.
    scene.instances[0].position.x = 1;
    ASSERT_TRUE(writeSceneFile("resources/objects/scene/near.scene", scene, error)) << error;
    RayTracingGeometry nearGeometry;
    KdTree nearTree;
    loadScene("resources/objects/scene/near.scene", instances, nearGeometry, nearTree);
    ASSERT_TRUE(std::filesystem::exists("resources/objects/scene/near.kdTree"));
    KdTree reloaded;
    reloaded.geometry = &nearGeometry;
    EXPECT_TRUE(reloaded.loadKdTree("resources/objects/scene/near.kdTree", scene.sceneTag));
}

TEST_F(ObjectLoading, NamesClimbingOutOfTheContentFoldersAreRefusedWhereTheyAreOpened)
{
    ORVANTA_REQUIRE_GL();
    ObjectFileData data = OrvantaTest::smallObject();
    data.submeshes[0].materialName = "../../../escape";
    data.submeshes[0].colorTextureName = "../../../../etc/passwd";
    data.submeshes[0].normalTextureName = "kindergarten/../stone.tga";  // climbs, but stays inside
    std::filesystem::create_directories("resources/textures/kindergarten");
    Object* object = findOrLoadObject(writeObject("resources/objects/climbing.object", data));
    ASSERT_NE(object, nullptr);
    const SubmeshMaterial* first = object->submeshes[0].material;
    EXPECT_TRUE(first->material->passes.empty());
    EXPECT_EQ(first->colorTexture, resourceCache().textures.find("resources/textures/../../../../etc/passwd"));
    EXPECT_EQ(first->normalTexture, resourceCache().textures.find("resources/textures/kindergarten/../stone.tga"));
    int refused = 0;
    for (const std::string& m : messages)
        refused += m.find("climbs out of the content folders") != std::string::npos;
    EXPECT_EQ(refused, 2);
    for (const std::string& m : messages)
        EXPECT_EQ(m.find("kindergarten/../stone.tga"), std::string::npos) << m;
}
