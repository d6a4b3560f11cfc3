// Importing a glTF 2.0 file whose nodes share one mesh, one with a non-uniform scale, one
// mirrored and one sheared by its parent.
#include "ImportTestModels.h"

#include "content/RayTracingScene.h"
#include "gpu/TextParser.h"
#include "gpu/TgaFile.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Orvanta;
using namespace OrvantaTest;

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
