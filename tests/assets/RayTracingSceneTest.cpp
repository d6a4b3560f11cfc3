// The ray tracer's scene loading without GL must see the demo content exactly as the material
// loader does: the same transparent submeshes left out, the same double-sided surfaces.
#include "content/RayTracingScene.h"
#include "content/RtImage.h"
#include "gpu/Material.h"
#include "support/GlTestContext.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Orvanta;

TEST(RayTracingScene, MaterialTextFlagsMatchTheMaterialLoader)
{
    ORVANTA_REQUIRE_GL();
    int materials = 0, transparent = 0, doubleSided = 0;
    for (const auto& entry : std::filesystem::directory_iterator("resources/materials")) {
        if (entry.path().extension() != ".material")
            continue;
        const std::string path = "resources/materials/" + entry.path().filename().string();
        const Material* loaded = getMaterial(path);
        ASSERT_TRUE(loaded) << path;
        const SurfaceFlags flags = materialFileSurfaceFlags(path);
        EXPECT_EQ(flags.isTransparent, loaded->isTransparent) << path;
        EXPECT_EQ(flags.isDoubleSided, loaded->isDoubleSided) << path;
        EXPECT_EQ(flags.isAlphaTested, loaded->isAlphaTested) << path;
        EXPECT_EQ(flags.alphaTestThreshold, loaded->alphaTestTreshold) << path;
        EXPECT_EQ(flags.hasMirrorPass, loaded->raytracedPass != nullptr) << path;
        EXPECT_EQ(flags.optics, loaded->optics) << path;
        ++materials;
        transparent += flags.isTransparent;
        doubleSided += flags.isDoubleSided;
    }
    EXPECT_GE(materials, 10);
    EXPECT_GE(transparent, 1) << "the canopy is transparent";
    EXPECT_GE(doubleSided, 1) << "the foliage is double-sided";
}

TEST(RayTracingScene, TextFlagsIgnoreWordsTheLoaderIgnores)
{
    const std::string dir = OrvantaTest::makeTempDir("rtflags");
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name) << text;
        return dir + "/" + name;
    };
    const SurfaceFlags yes = materialFileSurfaceFlags(
        write("yes.material", "material\n{\n    isTransparent = true\n    isDoubleSided = true\n}\n"));
    EXPECT_TRUE(yes.isTransparent);
    EXPECT_TRUE(yes.isDoubleSided);
    const SurfaceFlags odd = materialFileSurfaceFlags(
        write("odd.material", "material\n{\n    isTransparent = yes\n    isDoubleSided = 1\n}\n"));
    EXPECT_FALSE(odd.isTransparent);
    EXPECT_FALSE(odd.isDoubleSided);
    const SurfaceFlags other = materialFileSurfaceFlags(
        write("other.material", "shader\n{\n    isDoubleSided = true\n}\n"));
    EXPECT_FALSE(other.isDoubleSided) << "not a material file";
    const SurfaceFlags missing = materialFileSurfaceFlags(dir + "/missing.material");
    EXPECT_FALSE(missing.isTransparent);
    EXPECT_FALSE(missing.isDoubleSided);
}

TEST(RayTracingScene, DemoSceneLoadsWithoutGlAndAMissingSceneIsNamed)
{
    RayTracingGeometry geometry;
    std::string tag, error;
    ASSERT_TRUE(loadRayTracingScene("resources/objects/scene/kindergarten.scene", geometry, tag, error)) << error;
    EXPECT_EQ(tag.rfind("kindergarten-", 0), 0u) << tag;
    EXPECT_GE(geometry.triangles.size(), 100000u);
    size_t twoSided = 0, textured = 0, specular = 0;
    for (const RtTriangle& t : geometry.triangles) {
        ASSERT_LT(t.index2, geometry.vertices.size());
        twoSided += t.surface->doubleSided;
        textured += t.surface->colorImage != nullptr;
        specular += t.surface->specularImage != nullptr && t.surface->specularPower > 0.0f;
    }
    EXPECT_GT(twoSided, 0u);
    EXPECT_EQ(textured, geometry.triangles.size()) << "every demo surface has a colour map";
    EXPECT_EQ(specular, geometry.triangles.size()) << "and a specular map and power";

    RayTracingGeometry none;
    EXPECT_FALSE(loadRayTracingScene("resources/objects/scene/nowhere.scene", none, tag, error));
    EXPECT_NE(error.find("nowhere.scene"), std::string::npos) << error;
    EXPECT_TRUE(none.triangles.empty());
}

TEST(RayTracingScene, TraceToolDrawsTheStartViewAndRejectsUnknownArguments)
{
    const std::string dir = OrvantaTest::makeTempDir("trace");
    const std::string png = dir + "/trace.png";
    const std::string command = std::string("\"") + ORVANTA_TRACE_PATH +
                                "\" --width 64 --height 36 --threads 2 --output \"" + png + "\" > \"" + dir +
                                "/out.txt\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(png, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::ifstream out(dir + "/out.txt");
    const std::string printed((std::istreambuf_iterator<char>(out)), {});
    EXPECT_NE(printed.find("hits"), std::string::npos) << printed;
    const std::string bad = std::string("\"") + ORVANTA_TRACE_PATH + "\" --bogus 2>/dev/null";
    EXPECT_NE(std::system(bad.c_str()), 0);
}

TEST(RayTracingScene, ReferenceTracerRepeatsItsPictureAndRefusesBadValues)
{
    // Every sample is seeded by its pixel and number, so the same command gives the same file
    // whatever the workers' order.
    const std::string dir = OrvantaTest::makeTempDir("reference");
    auto trace = [&](const std::string& name) {
        return OrvantaTest::runTool(ORVANTA_TRACE_PATH, {"--reference", "--width", "32", "--height", "18", "--spp", "2",
                                                         "--exposure", "1.5", "--hdr", dir + "/" + name + ".exr"});
    };
    const OrvantaTest::ToolRun first = trace("a"), second = trace("b");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_NE(first.output.find("Mrays/s"), std::string::npos) << first.output;
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    EXPECT_GT(bytes(dir + "/a.exr").size(), 0u);
    EXPECT_EQ(bytes(dir + "/a.exr"), bytes(dir + "/b.exr"));
    EXPECT_EQ(bytes(dir + "/a.png"), bytes(dir + "/b.png"));

    // Bad values are named, with exit status 2, before anything is traced or written; so are
    // outputs that cannot be written (the PNG over the EXR, a missing folder, a directory).
    const std::string bare = OrvantaTest::makeTempDir("reference-bad");
    const std::vector<std::vector<std::string>> refused = {
        {"--reference", "--spp", "0"},
        {"--reference", "--time", "nan"},
        {"--reference", "--bounces", "2.5"},
        {"--reference", "--light", "moon"},
        {"--reference", "--width", "0"},
        {"--reference", "--output", bare + "/same.exr"},
        {"--reference", "--output", bare + "/none/picture.png"},
        {"--reference", "--hdr", bare},
        {"--width", "12abc", "--output", bare + "/trace.png"},
        {"--threads", "0", "--output", bare + "/trace.png"},
        {"--output", bare},
    };
    for (const std::vector<std::string>& arguments : refused) {
        const OrvantaTest::ToolRun bad = OrvantaTest::runTool(ORVANTA_TRACE_PATH, arguments);
        EXPECT_EQ(bad.exitCode, 2) << arguments[1] << "\n" << bad.output;
        EXPECT_NE(bad.output.find(arguments[arguments[0] == "--reference" ? 1 : 0]), std::string::npos) << bad.output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(bare));
}
