// The importer's pieces on their own: transform decomposition, tangent frames, texture sizes and
// colours, names and output paths.
#include "MeshRepair.h"
#include "NodePlacement.h"
#include "OutputFolder.h"
#include "SceneAssembly.h"
#include "TextureConversion.h"

#include "content/ObjectFile.h"
#include "gpu/TextParser.h"
#include "gpu/TgaFile.h"
#include "platform/HeadlessContext.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>

using namespace Orvanta;

namespace {

void expectMatrixNear(const Matrix4& a, const Matrix4& b)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-5f) << "element " << i;
}

}  // namespace

TEST(NodePlacement, RotationsScalesAndTranslationsBecomeInstancesThatRebuildTheMatrix)
{
    // Rotations near each branch of the conversion: small, and half turns about each axis.
    const Quaternion rotations[] = {fromAxisAngle({0.3f, 1, 0.2f}, 0.4f), fromAxisAngle({1, 0, 0}, 3.1f),
                                    fromAxisAngle({0, 1, 0}, 3.1f), fromAxisAngle({0, 0, 1}, 3.1f),
                                    fromAxisAngle({1, 1, 1}, -2.9f)};
    for (const Quaternion& q : rotations) {
        const Matrix4 world = composeTransform({1, -2, 3}, q, {0.5f, 2, 3});
        const NodePlacement p = placeNode(world);
        ASSERT_FALSE(p.baked);
        expectMatrixNear(composeTransform(p.position, p.orientation, p.scale), world);
        EXPECT_GE(p.orientation.w, 0.0f);  // one sign for one rotation keeps files repeatable
    }
}

TEST(NodePlacement, MirrorShearAndCollapsedAxesAreBakedAtTheTranslation)
{
    const Matrix4 mirror = composeTransform({4, 5, 6}, fromAxisAngle({0, 1, 0}, 0.3f), {-1, 1, 1});
    const Matrix4 shear = multiply(composeTransform({}, {}, {3, 1, 1}),
                                   composeTransform({}, fromAxisAngle({0, 0, 1}, 0.5f), {1, 1, 1}));
    const Matrix4 flat = composeTransform({}, {}, {1, 0, 1});
    for (const Matrix4* m : {&mirror, &shear, &flat}) {
        const NodePlacement p = placeNode(*m);
        EXPECT_TRUE(p.baked);
        EXPECT_EQ(p.position, (Float3{(*m)[12], (*m)[13], (*m)[14]}));
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(p.linear[i], (*m)[i]);
        EXPECT_EQ(p.linear[12], 0.0f);
    }
}

TEST(NodePlacement, BakingAMirrorKeepsNormalsOutwardAndTrianglesCounterClockwise)
{
    // One triangle facing +x at x = 1, with a frame whose binormal runs along +y.
    std::vector<ObjectVertex> vertices(3);
    const Float3 corners[3] = {{1, 0, 0}, {1, 1, 0}, {1, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        vertices[i].position = corners[i];
        vertices[i].normal = {1, 0, 0};
        vertices[i].tangent = {0, 0, -1};
        vertices[i].binormal = {0, 1, 0};
    }
    std::vector<uint32_t> indices{0, 1, 2};
    ASSERT_GT(dot(cross(corners[1] - corners[0], corners[2] - corners[0]), Float3{1, 0, 0}), 0.0f);
    bakeLinearTransform(composeTransform({}, {}, {-2, 1, 1}), vertices, indices);
    // Now at x = -2 facing -x (away from the origin, as before), still counter-clockwise.
    const Float3 a = vertices[indices[0]].position, b = vertices[indices[1]].position,
                 c = vertices[indices[2]].position;
    EXPECT_EQ(a.x, -2.0f);
    EXPECT_NEAR(vertices[0].normal.x, -1.0f, 1e-6f);
    EXPECT_GT(dot(cross(b - a, c - a), vertices[0].normal), 0.0f);
    EXPECT_NEAR(vertices[0].binormal.y, 1.0f, 1e-6f);
}

TEST(MeshRepair, FramesBecomeOrthonormalAndUnusableValuesFallBack)
{
    ObjectVertex v;
    v.normal = {0, 2, 0};
    v.tangent = {1, 1, 0};    // leans towards the normal
    v.binormal = {0, 0, -1};  // mirrored mapping: binormal = -(n × t)
    EXPECT_TRUE(completeTangentFrame(v, {}));
    EXPECT_EQ(v.normal, (Float3{0, 1, 0}));
    EXPECT_NEAR(v.tangent.x, 1.0f, 1e-6f);
    EXPECT_NEAR(v.binormal.z, -1.0f, 1e-6f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    ObjectVertex broken;
    broken.normal = {nan, 0, 0};
    broken.tangent = {0, 0, 5};  // parallel to the fallback normal
    EXPECT_FALSE(completeTangentFrame(broken, {0, 0, 3}));
    EXPECT_EQ(broken.normal, (Float3{0, 0, 1}));
    EXPECT_NEAR(length(broken.tangent), 1.0f, 1e-6f);
    EXPECT_NEAR(dot(broken.tangent, broken.normal), 0.0f, 1e-6f);
    EXPECT_NEAR(length(broken.binormal), 1.0f, 1e-6f);
}

TEST(MeshRepair, TrianglesWoundAgainstTheirNormalsAreTurnedAndFaceNormalsFillGaps)
{
    std::vector<ObjectVertex> vertices(4);
    const Float3 positions[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        vertices[i].position = positions[i];
        vertices[i].normal = {0, 0, 1};
    }
    // The first triangle is counter-clockwise about +z, the second clockwise, the third degenerate.
    std::vector<uint32_t> indices{0, 1, 2, 1, 2, 3, 0, 0, 1};
    EXPECT_EQ(orientTrianglesToNormals(vertices, indices), 1u);
    EXPECT_EQ(indices, (std::vector<uint32_t>{0, 1, 2, 1, 3, 2, 0, 0, 1}));
    const std::vector<Float3> face = faceNormalsPerVertex(vertices, indices);
    for (const Float3& n : face)
        EXPECT_EQ(n, (Float3{0, 0, 1}));
}

TEST(MeshRepair, PlanarCoordinatesDropTheThinAxisAndKeepProportions)
{
    const auto coords = planarTexCoords({{0, 5, 0}, {4, 5, 0}, {4, 5.1f, 2}, {0, 5, 2}});
    ASSERT_EQ(coords.size(), 4u);
    EXPECT_EQ(coords[0], (std::pair<float, float>{0, 0}));
    EXPECT_EQ(coords[2], (std::pair<float, float>{1, 0.5f}));
}

TEST(TextureConversion, SidesGoToTheNearestPowerOfTwoWithinTheLimit)
{
    const std::pair<uint32_t, uint32_t> cases[] = {{1, 1},     {2, 2},       {3, 4},       {12, 16},
                                                   {10, 8},    {90, 64},     {91, 128},    {100, 128},
                                                   {512, 512}, {3000, 4096}, {5000, 4096}, {65535, 4096}};
    for (auto [side, expected] : cases)
        EXPECT_EQ(powerOfTwoSide(side), expected) << side;
}

TEST(TextureConversion, ColourFactorsWorkInLinearLightAndCoverageMultipliesAlpha)
{
    DecodedImage image;
    image.width = 2;
    image.height = 1;
    image.rgba = {255, 188, 0, 255, 128, 128, 128, 200};
    const float factor[4] = {0.5f, 1.0f, 1.0f, 0.5f};
    applyColorFactor(image, factor);
    // Half of full red in linear light is sRGB 188; alpha is not gamma-encoded.
    EXPECT_EQ(image.rgba[0], 188);
    EXPECT_EQ(image.rgba[1], 188);
    EXPECT_EQ(image.rgba[3], 128);
    EXPECT_EQ(image.rgba[7], 100);

    DecodedImage greyCoverage = image;
    greyCoverage.rgba = {0, 0, 0, 255, 255, 0, 0, 255};  // opaque: the red channel is the coverage
    applyCoverage(image, greyCoverage);
    EXPECT_EQ(image.rgba[3], 0);
    EXPECT_EQ(image.rgba[7], 100);
}

TEST(TextureConversion, EncodedFilesStoreTheBottomRowFirstAndNormalMapsInvertGreen)
{
    DecodedImage image;
    image.width = 1;
    image.height = 2;
    image.rgba = {10, 20, 30, 255, 40, 50, 60, 255};  // top row, then bottom row
    invertGreen(image);
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(encodeTextureFile("t.tga", image, false, bytes, error)) << error;
    ASSERT_EQ(bytes.size(), 18u + 6u);
    EXPECT_EQ((std::vector<uint8_t>(bytes.begin() + 18, bytes.end())),
              (std::vector<uint8_t>{60, 205, 40, 30, 235, 10}));
}

TEST(ImportNames, StemsFromTheModelCannotFormPathsAndEveryOutputPathStaysInside)
{
    EXPECT_EQ(safeStem("Body Panel.001", "x"), "Body_Panel_001");
    EXPECT_EQ(safeStem("../../etc/passwd", "x"), "______etc_passwd");
    EXPECT_EQ(safeStem("..", "fallback"), "fallback");
    EXPECT_EQ(safeStem(std::string(80, 'a'), "x").size(), 48u);

    const std::string dir = OrvantaTest::makeTempDir("import-paths");
    std::string error;
    for (const char* bad : {"../escape.txt", "/tmp/escape.txt", "objects/../../escape.txt"}) {
        ImportFiles files{{"good.txt", {1}}, {bad, {2}}};
        EXPECT_FALSE(writeImportFolder(dir + "/out", files, "", error)) << bad;
        EXPECT_NE(error.find("climbs out"), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/out"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/escape.txt"));
}

TEST(ImportNames, ResourcePrefixLeadsFromTheEngineFoldersToTheOutput)
{
    std::string prefix, error;
    ASSERT_TRUE(resourcePrefixFor("resources/imported/duck", ".", prefix, error)) << error;
    EXPECT_EQ(prefix, "../imported/duck/");
    const std::string dir = OrvantaTest::makeTempDir("import-prefix");
    ASSERT_TRUE(resourcePrefixFor(dir + "/out", ".", prefix, error)) << error;
    EXPECT_EQ(std::filesystem::weakly_canonical("resources/materials/" + prefix),
              std::filesystem::weakly_canonical(dir + "/out/"));
    EXPECT_FALSE(resourcePrefixFor(dir + "/out", dir, prefix, error));
    EXPECT_NE(error.find("--engine-root"), std::string::npos) << error;
}

TEST(SceneAssembly, BlendedMaterialsGetTheTransparencyPassWithTheirEmbeddedTextureAndOpacity)
{
    // A 3 x 2 PNG packed into the model, half opaque red.
    const std::string dir = OrvantaTest::makeTempDir("import-assembly");
    std::vector<uint8_t> rgba(3 * 2 * 4, 0);
    for (size_t i = 0; i < rgba.size(); i += 4)
        rgba[i] = 255, rgba[i + 3] = 255;
    std::string error;
    ASSERT_TRUE(writePng(dir + "/red.png", 3, 2, rgba, error)) << error;

    ImportedModel model;
    EmbeddedImage packed;
    std::ifstream png(dir + "/red.png", std::ios::binary);
    packed.encoded.assign(std::istreambuf_iterator<char>(png), {});
    model.embeddedImages.push_back(packed);
    ImportedMaterial glass;
    glass.name = "Glass";
    glass.alphaMode = AlphaMode::Blend;
    glass.baseColor[3] = 0.5f;
    glass.colorTexture.embedded = 0;
    glass.colorTexture.label = "*0";
    model.materials.push_back(glass);
    ImportedMesh mesh;
    mesh.name = "Pane";
    mesh.vertices.resize(3);
    mesh.vertices[1].position = {1, 0, 0};
    mesh.vertices[2].position = {0, 1, 0};
    mesh.indices = {0, 1, 2};
    model.meshes.push_back(mesh);
    ImportedNode node;
    node.name = "Window";
    node.meshes = {0};
    model.nodes.push_back(node);

    AssemblySettings settings;
    settings.name = "glass";
    settings.modelLabel = "glass.glb";
    settings.resourcePrefix = "../imported/glass/";
    ImportNotes notes;
    ImportFiles files;
    ImportSummary summary;
    ASSERT_TRUE(assembleImport(model, settings, notes, files, summary, error)) << error;
    EXPECT_TRUE(notes.all().empty());
    EXPECT_EQ(summary.transparent, 1u);

    ASSERT_TRUE(files.count("materials/Glass.material"));
    const std::string text(files["materials/Glass.material"].begin(), files["materials/Glass.material"].end());
    std::unique_ptr<TextNode> root = parseText(text);
    ASSERT_TRUE(root);
    EXPECT_NE(text.find("isTransparent = true"), std::string::npos) << text;
    EXPECT_NE(text.find("type = TRANSPARENCY"), std::string::npos) << text;
    EXPECT_NE(text.find("fileName = resources/textures/../imported/glass/textures/embedded0.tga"), std::string::npos)
        << text;
    // The transparency program named there is one the engine ships.
    EXPECT_NE(text.find("resources/shaders/materials/transparentFragment.shader"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists("resources/shaders/materials/transparentFragment.shader"));

    // The texture: powers of two, red, the material's opacity in its alpha.
    ASSERT_TRUE(files.count("textures/embedded0.tga"));
    TgaImage image;
    ASSERT_TRUE(parseTga("embedded0.tga", files["textures/embedded0.tga"], image, error)) << error;
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 2u);
    ASSERT_EQ(image.bitsPerPixel, 32u);
    EXPECT_EQ((std::vector<uint8_t>(image.pixels.begin(), image.pixels.begin() + 4)),
              (std::vector<uint8_t>{0, 0, 255, 128}));
    // The object refers to both through the prefix.
    ObjectFileData object;
    ASSERT_TRUE(parseObjectFile("pane", files["objects/Pane.object"], object, error)) << error;
    EXPECT_EQ(object.submeshes[0].materialName, "../imported/glass/materials/Glass");
    EXPECT_EQ(object.submeshes[0].colorTextureName, "../imported/glass/textures/embedded0.tga");
}
