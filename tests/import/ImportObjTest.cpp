// Importing an OBJ with its MTL and a PNG texture, and a z-up OBJ without normals or texture
// coordinates, through the command-line tool.
#include "ImportTestModels.h"

#include "content/SceneFile.h"
#include "gpu/TgaFile.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

const SubmeshRecord* submeshWithMaterialEnding(const ObjectFileData& object, const std::string& stem)
{
    for (const SubmeshRecord& s : object.submeshes)
        if (s.materialName.size() >= stem.size() &&
            s.materialName.compare(s.materialName.size() - stem.size(), stem.size(), stem) == 0)
            return &s;
    return nullptr;
}

// The texel an engine sampler reads at (s, t) with nearest filtering, as RGBA.
std::array<uint8_t, 4> texelAt(const TgaImage& image, float s, float t)
{
    const uint32_t x = std::min(image.width - 1, uint32_t(s * float(image.width)));
    const uint32_t y = std::min(image.height - 1, uint32_t(t * float(image.height)));
    const uint8_t* p = &image.pixels[(size_t(y) * image.width + x) * (image.bitsPerPixel / 8)];
    return {p[2], p[1], p[0], image.bitsPerPixel == 32 ? p[3] : uint8_t(255)};
}

class ObjImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = makeTempDir("import-obj");
        model = writeTexturedObj(dir);
        ASSERT_FALSE(model.empty());
        run = runImport({model, dir + "/out"});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        result = readImport(dir + "/out/quad.scene");
        ASSERT_EQ(result.objects.size(), 1u);
        object = &result.objects.begin()->second;
    }

    std::string dir, model;
    ToolRun run;
    ImportResult result;
    const ObjectFileData* object = nullptr;
};

}  // namespace

TEST_F(ObjImport, OneObjectWithASubmeshPerMaterialAndTheSourceCounts)
{
    ASSERT_EQ(result.scene.instances.size(), 1u);
    EXPECT_EQ(result.scene.quads.size(), 0u);
    EXPECT_EQ(object->triangleCount(), 4u);  // the quad's two and one per other group
    EXPECT_EQ(object->vertices.size(), 10u);
    ASSERT_EQ(object->submeshes.size(), 3u);
    uint32_t covered = 0;
    for (const SubmeshRecord& s : object->submeshes) {
        EXPECT_EQ(s.firstTriangle, covered);
        covered = s.lastTriangle + 1;
        // Every name resolves from the engine's folder through its fixed prefixes.
        EXPECT_TRUE(std::filesystem::exists("resources/materials/" + s.materialName + ".material")) << s.materialName;
        if (!s.colorTextureName.empty()) {
            EXPECT_TRUE(std::filesystem::exists("resources/textures/" + s.colorTextureName)) << s.colorTextureName;
        }
    }
    EXPECT_EQ(covered, object->triangleCount());
    const SubmeshRecord* painted = submeshWithMaterialEnding(*object, "materials/painted");
    ASSERT_NE(painted, nullptr);
    EXPECT_EQ(painted->lastTriangle - painted->firstTriangle, 1u);
    expectSoundMesh(*object, "quad.obj");
}

TEST_F(ObjImport, TextureIsResampledToPowersOfTwoAndKeepsItsCornersWhereTheCoordinatesPoint)
{
    const SubmeshRecord* painted = submeshWithMaterialEnding(*object, "materials/painted");
    ASSERT_NE(painted, nullptr);
    ASSERT_FALSE(painted->colorTextureName.empty());
    // The texture of "../pictures/quadrants.png" lands inside the output folder.
    EXPECT_NE(painted->colorTextureName.find("out/textures/quadrants.tga"), std::string::npos);
    TgaImage image;
    std::string error;
    ASSERT_TRUE(readTgaFile("resources/textures/" + painted->colorTextureName, image, error)) << error;
    EXPECT_EQ(image.width, 16u);
    EXPECT_EQ(image.height, 8u);
    EXPECT_EQ(image.bitsPerPixel, 24u);  // opaque

    // Each corner of the quad samples the colour its source coordinate names: OBJ coordinates
    // put (0, 0) at the picture's bottom left.
    const uint32_t last = painted->lastTriangle;
    for (uint32_t t = painted->firstTriangle; t <= last; ++t)
        for (int k = 0; k < 3; ++k) {
            const ObjectVertex& v = object->vertices[object->indices[t * 3 + k]];
            const auto source = quadTexCoordAt(v.position);
            const int quadrant = (source[1] < 0.5f ? 2 : 0) + (source[0] > 0.5f ? 1 : 0);
            const auto texel = texelAt(image, std::clamp(v.texCoord[0], 0.0f, 0.999f),
                                       std::clamp(v.texCoord[1], 0.0f, 0.999f));
            EXPECT_EQ(texel, kQuadrantColors[quadrant]) << "corner " << v.position.x << ", " << v.position.z;
        }
    // The corner texels of the file itself match the picture's corners.
    EXPECT_EQ(texelAt(image, 0.0f, 0.0f), kQuadrantColors[0]);
    EXPECT_EQ(texelAt(image, 0.999f, 0.0f), kQuadrantColors[1]);
    EXPECT_EQ(texelAt(image, 0.0f, 0.999f), kQuadrantColors[2]);
    EXPECT_EQ(texelAt(image, 0.999f, 0.999f), kQuadrantColors[3]);
}

TEST_F(ObjImport, DiffuseColourBecomesATextureAndAMissingTextureIsReportedOnceAndLeftWhite)
{
    const SubmeshRecord* plain = submeshWithMaterialEnding(*object, "materials/plain");
    ASSERT_NE(plain, nullptr);
    TgaImage image;
    std::string error;
    ASSERT_TRUE(readTgaFile("resources/textures/" + plain->colorTextureName, image, error)) << error;
    // Kd 0.2 0.4 0.8 is linear; the texture holds it sRGB-encoded, as colour textures are read.
    const auto texel = texelAt(image, 0.5f, 0.5f);
    EXPECT_EQ(texel[0], 124);
    EXPECT_EQ(texel[1], 170);
    EXPECT_EQ(texel[2], 231);

    const SubmeshRecord* ghost = submeshWithMaterialEnding(*object, "materials/ghost");
    ASSERT_NE(ghost, nullptr);
    EXPECT_TRUE(ghost->colorTextureName.empty());
    EXPECT_TRUE(ghost->specularTextureName.empty());
    // Used twice, said once, with the path that was looked for.
    EXPECT_EQ(occurrences(run.output, "ghost.png"), 1u) << run.output;
    EXPECT_NE(run.output.find("texture " + dir +
                              "/model/ghost.png cannot be read: cannot open (No such file or "
                              "directory); white used"),
              std::string::npos)
        << run.output;
}

TEST_F(ObjImport, SummaryNamesTheCountsAndARenderCommandForTheScene)
{
    EXPECT_NE(run.output.find("4 in objects, 4 placed"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("materials  3"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("scene box  (-1.000, 0.000, -1.000) to (6.000, 1.000, 1.000)"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("orvanta-render --scene " + dir + "/out/quad.scene --frame-scene"), std::string::npos)
        << run.output;
    EXPECT_NE(fileBytes(dir + "/out/import.txt").find("quad.scene"), std::string::npos);
}

TEST(ZUpImport, TurnsTheModelUprightAndCompletesNormalsAndTextureCoordinatesWithOneNoteEach)
{
    const std::string dir = makeTempDir("import-zup");
    const std::string model = writeZUpBoxObj(dir);
    const ToolRun run = runImport({"--up", "z", "--scale", "2", "--name", "tower", model, dir + "/out"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(occurrences(run.output, "without normals"), 1u) << run.output;
    EXPECT_EQ(occurrences(run.output, "without texture coordinates"), 1u) << run.output;

    ImportResult result = readImport(dir + "/out/tower.scene");
    ASSERT_EQ(result.scene.instances.size(), 1u);
    const SceneInstanceRecord& instance = result.scene.instances[0];
    const ObjectFileData& object = result.objects.at(instance.objectName);
    EXPECT_EQ(object.triangleCount(), 12u);
    expectSoundMesh(object, "tower.obj");
    for (const ObjectVertex& v : object.vertices)  // planar coordinates cover the unit square
        EXPECT_TRUE(v.texCoord[0] >= 0.0f && v.texCoord[0] <= 1.0f && v.texCoord[1] >= 0.0f && v.texCoord[1] <= 1.0f);

    // The source's +z (0 to 4) is the engine's +y, twice as long; its +y becomes -z.
    const Matrix4 world = composeTransform(instance.position, instance.orientation, instance.scale);
    Float3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const ObjectVertex& v : object.vertices) {
        const Float3 p = transformPoint(world, v.position);
        lo = minComponents(lo, p);
        hi = maxComponents(hi, p);
    }
    EXPECT_NEAR(lo.y, 0.0f, 1e-5f);
    EXPECT_NEAR(hi.y, 8.0f, 1e-5f);
    EXPECT_NEAR(hi.x - lo.x, 2.0f, 1e-5f);
    EXPECT_NEAR(hi.z - lo.z, 4.0f, 1e-5f);
    // The computed normals point outward: on the roof they turn to world +y.
    int roofCorners = 0;
    for (const ObjectVertex& v : object.vertices)
        if (transformPoint(world, v.position).y > 8.0f - 1e-4f && v.normal.z > 0.5f) {
            EXPECT_NEAR(normalize(transformVector(world, v.normal)).y, 1.0f, 1e-5f);
            ++roofCorners;
        }
    EXPECT_GE(roofCorners, 3);
}
