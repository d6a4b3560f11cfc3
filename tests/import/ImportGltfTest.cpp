// Importing glTF 2.0 files: nodes that share one mesh, one with a non-uniform scale, one mirrored
// and one sheared by its parent; materials that are polished metal or glass.
#include "ImportTestModels.h"

#include "content/RayTracingScene.h"
#include "gpu/MaterialFile.h"
#include "gpu/TextParser.h"
#include "gpu/TgaFile.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace Orvanta;
using namespace OrvantaTest;
namespace fs = std::filesystem;

namespace {

void expectMatrixNear(const Matrix4& a, const Matrix4& b, const std::string& what)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-5f) << what << " element " << i;
}

class GltfImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = makeTempDir("import-gltf");
        run = runImport({writeSharedMeshGltf(dir), dir + "/out"});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        result = readImport(dir + "/out/cubes.scene");
        ASSERT_EQ(result.scene.instances.size(), 4u);
    }
    const SceneInstanceRecord& instance(size_t i) const { return result.scene.instances[i]; }
    const ObjectFileData& objectOf(size_t i) const { return result.objects.at(instance(i).objectName); }

    std::string dir;
    ToolRun run;
    ImportResult result;
};

}  // namespace

TEST_F(GltfImport, NodesSharingAMeshShareOneObjectPlacedByTheirOwnTransforms)
{
    // Scene order follows the nodes: SharedA, SharedB, Mirror, Turned.
    EXPECT_EQ(instance(0).objectName, instance(1).objectName);
    const ObjectFileData& cube = objectOf(0);
    EXPECT_EQ(cube.vertices.size(), 24u);
    EXPECT_EQ(cube.triangleCount(), 12u);
    ASSERT_EQ(cube.submeshes.size(), 1u);
    expectSoundMesh(cube, "cube");

    const NodeSource* sources[2] = {&kSharedA, &kSharedB};
    for (size_t i = 0; i < 2; ++i) {
        const NodeSource& s = *sources[i];
        expectMatrixNear(composeTransform(instance(i).position, instance(i).orientation, instance(i).scale),
                         composeTransform(s.translation, s.rotation, s.scale), instance(i).objectName);
    }
    // The non-uniform scale stays an instance scale, not a copy.
    EXPECT_NEAR(instance(0).scale.y, 2.0f, 1e-6f);
    EXPECT_NEAR(instance(0).scale.z, 0.5f, 1e-6f);
    EXPECT_NE(run.output.find("3 objects from 1 source meshes"), std::string::npos) << run.output;
}

TEST_F(GltfImport, MirroredAndShearedNodesGetBakedCopiesThatStayOutwardFacing)
{
    for (size_t i : {2u, 3u}) {
        EXPECT_NE(instance(i).objectName, instance(0).objectName);
        EXPECT_EQ(instance(i).orientation, Quaternion{});
        EXPECT_EQ(instance(i).scale, (Float3{1, 1, 1}));
        expectSoundMesh(objectOf(i), instance(i).objectName);
        // The cube is convex around its centre: every face must face away from it.
        const ObjectFileData& copy = objectOf(i);
        for (size_t t = 0; t < copy.indices.size(); t += 3) {
            const Float3 a = copy.vertices[copy.indices[t]].position, b = copy.vertices[copy.indices[t + 1]].position,
                         c = copy.vertices[copy.indices[t + 2]].position;
            EXPECT_GT(dot(cross(b - a, c - a), a + b + c), 0.0f) << instance(i).objectName << " triangle " << t / 3;
        }
    }
    EXPECT_EQ(instance(2).position, (Float3{0, 0, -5}));
    // The sheared copy holds the cube's corners moved by the node's whole linear transform.
    const Matrix4 turned = turnedWorldMatrix();
    const ObjectFileData& cube = objectOf(0);
    const ObjectFileData& sheared = objectOf(3);
    ASSERT_EQ(sheared.vertices.size(), cube.vertices.size());
    for (size_t v = 0; v < cube.vertices.size(); ++v) {
        const Float3 expected = transformPoint(turned, cube.vertices[v].position);
        const Float3 got = sheared.vertices[v].position;
        EXPECT_NEAR(length(got - expected), 0.0f, 1e-5f) << "vertex " << v;
    }
    EXPECT_NE(run.output.find("2 copies baked"), std::string::npos) << run.output;
}

TEST_F(GltfImport, MaskedDoubleSidedMaterialIsAlphaTestedWithItsCutoffAndCarriesItsColour)
{
    const SubmeshRecord& submesh = objectOf(0).submeshes[0];
    const std::string materialPath = "resources/materials/" + submesh.materialName + ".material";
    std::unique_ptr<TextNode> root = parseFile(materialPath);
    ASSERT_TRUE(root) << materialPath;
    std::map<std::string, std::string> values;
    for (const TextNode& child : root->children)
        if (child.kind == TextNode::Value)
            values[child.name] = child.value;
    EXPECT_EQ(values["isDoubleSided"], "true");
    EXPECT_EQ(values["isAlphaTested"], "true");
    EXPECT_EQ(values["alphaTestTreshold"], "0.3");
    EXPECT_TRUE(materialFileSurfaceFlags(materialPath).isDoubleSided);
    // baseColorFactor (1, 0.5, 0.25) becomes a colour texture, sRGB-encoded.
    TgaImage image;
    std::string error;
    ASSERT_TRUE(readTgaFile("resources/textures/" + submesh.colorTextureName, image, error)) << error;
    ASSERT_EQ(image.pixels.size(), 3u);
    EXPECT_EQ(image.pixels[2], 255);  // red (stored blue, green, red)
    EXPECT_EQ(image.pixels[1], 188);
    EXPECT_EQ(image.pixels[0], 137);
}

// Polished metal and glass get the ray-traced mirror pass with optics worked out from the source's
// factors; a rough metal keeps the plain deferred pass. The scene then loads and draws.
TEST(GltfMirrorImport, PolishedMetalAndGlassGetTheRayTracedPassWithTheirOptics)
{
    const std::string dir = makeTempDir("import-mirror");
    // Four cubes side by side: metallic and smooth, metallic and rough, a pane of glass without an
    // index, and a block of water with its index and a volume.
    std::string nodes, meshes;
    for (int i = 0; i < 4; ++i) {
        nodes += std::string(i ? "," : "") + "{\"mesh\":" + std::to_string(i) + ",\"translation\":[" +
                 std::to_string(1.5 * i) + ",0,0]}";
        meshes += std::string(i ? "," : "") +
                  "{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"NORMAL\":1,\"TEXCOORD_0\":2},\"indices\":3,"
                  "\"material\":" +
                  std::to_string(i) + "}]}";
    }
    const std::string sceneJson =
        "\"extensionsUsed\":[\"KHR_materials_transmission\",\"KHR_materials_ior\",\"KHR_materials_volume\"],"
        "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2,3]}],\"nodes\":[" +
        nodes + "],\"meshes\":[" + meshes +
        "],\"materials\":["
        "{\"name\":\"Brass\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.9,0.6,0.3,1],\"metallicFactor\":1,"
        "\"roughnessFactor\":0.1}},"
        "{\"name\":\"Cast\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.9,0.6,0.3,1],\"metallicFactor\":1,"
        "\"roughnessFactor\":0.8}},"
        "{\"name\":\"Pane\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.8,0.9,1,1],\"metallicFactor\":0,"
        "\"roughnessFactor\":0},\"extensions\":{\"KHR_materials_transmission\":{\"transmissionFactor\":1}}},"
        "{\"name\":\"Water\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.5,0.9,1,1],\"metallicFactor\":0,"
        "\"roughnessFactor\":0},\"extensions\":{\"KHR_materials_transmission\":{\"transmissionFactor\":0.8},"
        "\"KHR_materials_ior\":{\"ior\":1.33},\"KHR_materials_volume\":{\"thicknessFactor\":0.5}}}]";
    fs::create_directories(dir + "/gltf");
    std::ofstream(dir + "/gltf/shiny.gltf") << cubeGltf(sceneJson);
    const ToolRun run = runImport({dir + "/gltf/shiny.gltf", dir + "/out"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("1 ray-traced metal, 2 ray-traced glass"), std::string::npos) << run.output;

    auto read = [&](const std::string& name) {
        MaterialFileData data;
        std::vector<std::string> problems;
        EXPECT_TRUE(readMaterialFile(dir + "/out/materials/" + name + ".material", data, problems)) << name;
        EXPECT_TRUE(problems.empty()) << problems.front();
        bool raytraced = false, raycasting = false;
        for (const MaterialPassRecord& pass : data.passes) {
            raytraced |= pass.type == PassTypeRaytraced;
            raycasting |= pass.type == PassTypeRaycasting;
        }
        EXPECT_EQ(raytraced, raycasting) << name;
        return std::make_pair(data, raytraced);
    };
    // A metal reflects its own colour at normal incidence: reflectance times tint is the colour.
    const auto [brass, brassTraced] = read("Brass");
    EXPECT_TRUE(brassTraced);
    const Float3 f0 = brass.optics.reflectionTint * brass.optics.reflectance;
    EXPECT_NEAR(f0.x, 0.9f, 1e-4f);
    EXPECT_NEAR(f0.y, 0.6f, 1e-4f);
    EXPECT_NEAR(f0.z, 0.3f, 1e-4f);
    EXPECT_FALSE(brass.optics.transmits());

    const auto [cast, castTraced] = read("Cast");
    EXPECT_FALSE(castTraced);
    EXPECT_EQ(cast.optics, MaterialOptics{});

    // Fresnel at normal incidence from air into glass of index 1.5: 0.04; into water (1.33): 0.0201.
    const auto [pane, paneTraced] = read("Pane");
    EXPECT_TRUE(paneTraced);
    EXPECT_NEAR(pane.optics.reflectance, 0.04f, 1e-5f);
    EXPECT_FLOAT_EQ(pane.optics.indexOfRefraction, 1.5f);
    EXPECT_TRUE(pane.optics.isThin);
    EXPECT_NEAR(length(pane.optics.transmissionColor - Float3{0.8f, 0.9f, 1.0f}), 0.0f, 1e-4f);
    EXPECT_FALSE(pane.isTransparent);

    const auto [water, waterTraced] = read("Water");
    EXPECT_TRUE(waterTraced);
    EXPECT_NEAR(water.optics.reflectance, 0.0200592f, 1e-5f);
    EXPECT_NEAR(water.optics.indexOfRefraction, 1.33f, 1e-5f);
    EXPECT_FALSE(water.optics.isThin);
    EXPECT_NEAR(length(water.optics.transmissionColor - Float3{0.4f, 0.72f, 0.8f}), 0.0f, 1e-4f);

    const std::string png = dir + "/shiny.png";
    const ToolRun render = runTool(ORVANTA_RENDER_PATH,
                                   {"--scene", dir + "/out/shiny.scene", "--frame-scene", "--width", "160", "--height",
                                    "90", "--frames", "2", "--debug", "--output", png});
    EXPECT_EQ(render.exitCode, 0) << render.output;  // 3 would mean a GL error
}
