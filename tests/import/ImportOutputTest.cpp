// The import's output as a whole: repeatable, written whole or not at all, refused for bad input,
// and loadable and renderable by the engine.
#include "ImportTestModels.h"

#include "content/KdTree.h"
#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "content/RayTracingGeometry.h"
#include "content/RayTracingScene.h"
#include "content/SceneLoader.h"
#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"
#include "platform/Log.h"
#include "support/GlTestContext.h"
#include "TextureConversion.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

using namespace Orvanta;
using namespace OrvantaTest;
namespace fs = std::filesystem;

namespace {

// Every file under a folder with its bytes, by relative path.
std::map<std::string, std::string> folderContent(const std::string& dir)
{
    std::map<std::string, std::string> content;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            content[fs::relative(entry.path(), dir).generic_string()] = fileBytes(entry.path().string());
    return content;
}

// Names in a folder that the import leaves behind while it works.
std::vector<std::string> workFolders(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".importing-") != std::string::npos || name.find(".replaced-") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(ImportOutput, ASecondImportOfTheSameFileIsByteIdenticalAndKeepsTheTag)
{
    const std::string dir = makeTempDir("import-again");
    const std::string model = writeSharedMeshGltf(dir);
    ASSERT_EQ(runImport({model, dir + "/out"}).exitCode, 0);
    const auto first = folderContent(dir + "/out");
    ASSERT_GE(first.size(), 5u);
    const ToolRun again = runImport({model, dir + "/out"});
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_EQ(folderContent(dir + "/out"), first);
    EXPECT_TRUE(workFolders(dir).empty());

    // A changed model changes the tag, so the scene gets a new kd-tree.
    std::string text = fileBytes(model);
    text.replace(text.find("\"translation\":[-4,0,1]"), 22, "\"translation\":[-4,0,2]");
    std::ofstream(model, std::ios::binary) << text;
    ASSERT_EQ(runImport({model, dir + "/out"}).exitCode, 0);
    SceneFileData before, after;
    std::string error;
    ASSERT_TRUE(parseSceneFile(
        "first", std::vector<uint8_t>(first.at("cubes.scene").begin(), first.at("cubes.scene").end()), before, error));
    ASSERT_TRUE(readSceneFile(dir + "/out/cubes.scene", after, error)) << error;
    EXPECT_NE(before.sceneTag, after.sceneTag);
    EXPECT_EQ(before.sceneTag.rfind("imported cubes ", 0), 0u) << before.sceneTag;
}

TEST(ImportOutput, BadInputGivesOneClearMessageAndWritesNothing)
{
    const std::string dir = makeTempDir("import-bad");
    // A missing model, and a file that is no model at all.
    ToolRun run = runImport({dir + "/absent.gltf", dir + "/out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(dir + "/absent.gltf: cannot open the model"), std::string::npos) << run.output;
    std::ofstream(dir + "/noise.obj") << "this is not\x01\x02 a model {";
    run = runImport({dir + "/noise.obj", dir + "/out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("noise.obj"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir + "/out"));

    // A pipe would block a reader for ever.
    ASSERT_EQ(mkfifo((dir + "/pipe.obj").c_str(), 0600), 0);
    run = runImport({dir + "/pipe.obj", dir + "/out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(dir + "/pipe.obj: cannot open the model: it is not a regular file"), std::string::npos)
        << run.output;

    // A name that would climb out of the output folder, or a memory limit without its unit, is
    // refused before anything is read.
    run = runImport({"--name", "../escape", writeTexturedObj(dir), dir + "/out"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("--name"), std::string::npos) << run.output;
    run = runImport({"--max-memory", "4096", writeTexturedObj(dir), dir + "/out"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("--max-memory: '4096'"), std::string::npos) << run.output;

    // A folder with other content is never replaced.
    fs::create_directories(dir + "/mine");
    std::ofstream(dir + "/mine/notes.txt") << "keep me";
    run = runImport({writeSharedMeshGltf(dir), dir + "/mine"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("choose a new or empty folder"), std::string::npos) << run.output;
    EXPECT_EQ(fileBytes(dir + "/mine/notes.txt"), "keep me");
    EXPECT_TRUE(workFolders(dir).empty());
}

TEST(ImportOutput, AFailedImportLeavesTheEarlierImportAsItWas)
{
    const std::string dir = makeTempDir("import-keep");
    ASSERT_EQ(runImport({writeSharedMeshGltf(dir), dir + "/out"}).exitCode, 0);
    const auto earlier = folderContent(dir + "/out");
    // Points only: readable, but nothing the engine can draw.
    std::ofstream(dir + "/points.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\np 1 2 3\n";
    const ToolRun run = runImport({dir + "/points.obj", dir + "/out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no triangle meshes"), std::string::npos) << run.output;
    EXPECT_EQ(folderContent(dir + "/out"), earlier);
    EXPECT_TRUE(workFolders(dir).empty());
}

TEST(ImportOutput, TheRayTracerLoadsEveryPlacedOpaqueTriangle)
{
    const std::string dir = makeTempDir("import-trace");
    ASSERT_EQ(runImport({writeSharedMeshGltf(dir), dir + "/out"}).exitCode, 0);
    RayTracingGeometry geometry;
    std::string tag, error;
    ASSERT_TRUE(loadRayTracingScene(dir + "/out/cubes.scene", geometry, tag, error)) << error;
    EXPECT_EQ(geometry.triangles.size(), 4u * 12u);
    ASSERT_EQ(geometry.surfaces.size(), 4u);
    EXPECT_EQ(geometry.surfaces[0].doubleSided, 1);
    EXPECT_EQ(tag.rfind("imported cubes ", 0), 0u) << tag;
}

TEST(ImportOutput, TheSceneLoadsWithTheEngineLoadersWithoutAProblem)
{
    ORVANTA_REQUIRE_GL();
    const std::string dir = makeTempDir("import-load");
    ASSERT_EQ(runImport({writeTexturedObj(dir), dir + "/out"}).exitCode, 0);
    std::vector<std::string> messages;
    setLogSink([&](const std::string& m) { messages.push_back(m); });
    const int errorsBefore = loggedErrorCount();
    std::vector<ObjectInstance*> instances;
    RayTracingGeometry tracedGeometry;
    KdTree tracedTree;
    loadScene(dir + "/out/quad.scene", instances, tracedGeometry, tracedTree);
    setLogSink({});
    EXPECT_EQ(loggedErrorCount(), errorsBefore) << (messages.empty() ? "" : messages[0]);
    ASSERT_EQ(instances.size(), 1u);
    ASSERT_EQ(instances[0]->object->submeshes.size(), 3u);
    // The missing texture is the only slot without a texture; materials have their passes.
    int withColour = 0;
    for (const Submesh& s : instances[0]->object->submeshes) {
        ASSERT_NE(s.material->material, nullptr);
        EXPECT_NE(s.material->material->deferredWritePass, nullptr);
        withColour += s.material->colorTexture != nullptr;
    }
    EXPECT_EQ(withColour, 2);
}

TEST(ImportOutput, RenderToolDrawsTheImportedSceneFramedWithoutAGlError)
{
    const std::string dir = makeTempDir("import-render");
    ASSERT_EQ(runImport({writeSharedMeshGltf(dir), dir + "/out"}).exitCode, 0);
    const std::string png = dir + "/cubes.png";
    const ToolRun run = runTool(ORVANTA_RENDER_PATH,
                                {"--scene", dir + "/out/cubes.scene", "--frame-scene", "--width", "160", "--height",
                                 "90", "--frames", "2", "--debug", "--output", png});
    ASSERT_EQ(run.exitCode, 0) << run.output;  // 3 would mean a GL error
    EXPECT_TRUE(fs::exists(dir + "/out/cubes.kdTree"));
    // The framed cubes fill the middle of the picture: it differs from the sky at the top edge.
    DecodedImage picture;
    TextureSource source;
    source.file = png;
    std::string error;
    ASSERT_TRUE(decodeTexture(source, ImportedModel{}, picture, error)) << error;
    const uint8_t* sky = picture.at(80, 1);
    int differing = 0;
    for (uint32_t y = 30; y < 60; ++y)
        for (uint32_t x = 50; x < 110; ++x) {
            const uint8_t* p = picture.at(x, y);
            differing += std::abs(p[0] - sky[0]) + std::abs(p[1] - sky[1]) + std::abs(p[2] - sky[2]) > 30;
        }
    EXPECT_GT(differing, 30 * 60 / 4);

    // A missing scene file is an error of the tool, not an empty picture.
    const ToolRun missing = runTool(ORVANTA_RENDER_PATH, {"--scene", dir + "/none.scene", "--output", png});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("none.scene"), std::string::npos) << missing.output;
}
