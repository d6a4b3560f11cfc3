// Checks the generated demo content in resources/ (written by the build) for what the engine
// relies on when it loads the kindergarten.
#include "content/ObjectFile.h"
#include "content/SceneFile.h"
#include "gpu/TgaFile.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <filesystem>
#include <set>

using namespace Orvanta;

namespace {

const std::string ScenePath = "resources/objects/scene/kindergarten.scene";

bool isPowerOfTwo(uint32_t v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

SceneFileData loadScene()
{
    SceneFileData scene;
    std::string error;
    EXPECT_TRUE(readSceneFile(ScenePath, scene, error)) << error;
    return scene;
}

}  // namespace

TEST(GeneratedScene, ObjectsTexturesAndMaterialsResolve)
{
    SceneFileData scene = loadScene();
    ASSERT_FALSE(scene.instances.empty());
    EXPECT_EQ(scene.sceneTag.rfind("kindergarten-", 0), 0u) << scene.sceneTag;
    std::set<std::string> checkedTextures;
    std::set<std::string> names;
    uint64_t triangles = 0;
    std::map<std::string, ObjectFileData> objects;
    for (const SceneInstanceRecord& instance : scene.instances) {
        std::string path = sceneDirectory(ScenePath) + instance.objectName;
        if (!objects.count(path)) {
            std::string error;
            ASSERT_TRUE(readObjectFile(path, objects[path], error)) << error;
        }
        const ObjectFileData& object = objects[path];
        names.insert(instance.objectName);
        triangles += object.triangleCount();
        for (const SubmeshRecord& submesh : object.submeshes) {
            EXPECT_TRUE(std::filesystem::exists("resources/materials/" + submesh.materialName + ".material"))
                << path << " uses missing material " << submesh.materialName;
            for (const std::string& texture :
                 {submesh.colorTextureName, submesh.normalTextureName, submesh.specularTextureName}) {
                if (texture.empty() || !checkedTextures.insert(texture).second)
                    continue;
                TgaImage image;
                std::string error;
                ASSERT_TRUE(readTgaFile("resources/textures/" + texture, image, error)) << error;
                EXPECT_TRUE(isPowerOfTwo(image.width) && isPowerOfTwo(image.height)) << texture;
            }
        }
        // Everything placed must stay inside the scene box the lighting volumes cover.
        Matrix4 world = composeTransform(instance.position, instance.orientation, instance.scale);
        for (const ObjectVertex& v : object.vertices) {
            Float3 p = transformPoint(world, v.position);
            ASSERT_TRUE(p.x >= -64.01f && p.x <= 64.01f && p.z >= -64.01f && p.z <= 64.01f && p.y >= -0.5f &&
                        p.y <= 32.0f)
                << instance.objectName << " reaches (" << p.x << ", " << p.y << ", " << p.z << ")";
        }
    }
    EXPECT_GE(triangles, 100000u);
    EXPECT_LT(names.size(), scene.instances.size()) << "no object is placed more than once";
    EXPECT_FALSE(scene.quads.empty());
}

TEST(GeneratedScene, SurfacesFaceTheirNormals)
{
    // Every triangle must wind counter-clockwise around its vertex normals, and tangents and
    // binormals must be unit length and perpendicular to the normal.
    for (const auto& entry : std::filesystem::directory_iterator("resources/objects/scene")) {
        if (entry.path().extension() != ".object")
            continue;
        ObjectFileData object;
        std::string error;
        ASSERT_TRUE(readObjectFile(entry.path().string(), object, error)) << error;
        for (size_t t = 0; t + 2 < object.indices.size(); t += 3) {
            const ObjectVertex& a = object.vertices[object.indices[t]];
            const ObjectVertex& b = object.vertices[object.indices[t + 1]];
            const ObjectVertex& c = object.vertices[object.indices[t + 2]];
            Float3 face = cross(b.position - a.position, c.position - a.position);
            ASSERT_GE(dot(face, a.normal + b.normal + c.normal), 0.0f) << entry.path() << " triangle " << t / 3;
        }
        for (const ObjectVertex& v : object.vertices) {
            ASSERT_NEAR(length(v.normal), 1.0f, 1e-3f) << entry.path();
            ASSERT_NEAR(length(v.tangent), 1.0f, 1e-3f) << entry.path();
            ASSERT_NEAR(length(v.binormal), 1.0f, 1e-3f) << entry.path();
        }
    }
}

TEST(GeneratedScene, SkyIsSeenFromInside)
{
    ObjectFileData sky;
    std::string error;
    ASSERT_TRUE(readObjectFile("resources/objects/sky.object", sky, error)) << error;
    ASSERT_EQ(sky.submeshes.size(), 1u);
    EXPECT_EQ(sky.submeshes[0].materialName, "sky");
    for (size_t t = 0; t + 2 < sky.indices.size(); t += 3) {
        Float3 a = sky.vertices[sky.indices[t]].position;
        Float3 b = sky.vertices[sky.indices[t + 1]].position;
        Float3 c = sky.vertices[sky.indices[t + 2]].position;
        // Counter-clockwise seen from the centre: the face normal points at the origin.
        ASSERT_LT(dot(cross(b - a, c - a), a + b + c), 0.0f) << "triangle " << t / 3;
        ASSERT_NEAR(length(a), 500.0f, 1.0f);
    }
}

TEST(GeneratedImages, UiSetAndNoiseAreComplete)
{
    const char* labels[] = {"timeOfDay",
                            "sunInclination",
                            "directLighting",
                            "skyLighting",
                            "lightPropagationVolumes",
                            "propagateSunLighting",
                            "propagateSkyLighting",
                            "SSAO",
                            "raytracing"};
    auto check = [](const std::string& name, uint32_t w, uint32_t h) {
        TgaImage image;
        std::string error;
        ASSERT_TRUE(readTgaFile("resources/textures/UI/" + name + ".tga", image, error)) << error;
        EXPECT_EQ(image.bitsPerPixel, 32u) << name;
        EXPECT_EQ(image.width, w) << name;
        EXPECT_EQ(image.height, h) << name;
        bool anyOpaque = false;
        for (size_t i = 3; i < image.pixels.size(); i += 4)
            anyOpaque = anyOpaque || image.pixels[i] > 200;
        EXPECT_TRUE(anyOpaque) << name << " has no visible text";
    };
    for (const char* label : labels)
        check(label, 180, 32);
    check("pressF1", 256, 32);
    check("screenshotSaved", 256, 32);
    check("checkMark", 16, 16);
    check("fps", 52, 16);
    for (int d = 0; d < 10; ++d)
        check(std::to_string(d), 12, 16);
    TgaImage noise;
    std::string error;
    ASSERT_TRUE(readTgaFile("resources/textures/engine/shadowSamplingNoise.tga", noise, error)) << error;
    EXPECT_EQ(noise.width, 32u);
    EXPECT_EQ(noise.height, 32u);
}

TEST(GeneratedSounds, AreMonoLoopsOfTenToThirtySeconds)
{
    for (const char* name : {"ambience", "birds", "singleBird"}) {
        std::string path = std::string("resources/audio/") + name + ".ogg";
        OggVorbis_File file;
        ASSERT_EQ(ov_fopen(path.c_str(), &file), 0) << path;
        vorbis_info* info = ov_info(&file, -1);
        EXPECT_EQ(info->channels, 1) << path;
        EXPECT_EQ(info->rate, 44100) << path;
        double seconds = static_cast<double>(ov_pcm_total(&file, -1)) / 44100.0;
        EXPECT_GE(seconds, 10.0) << path;
        EXPECT_LE(seconds, 30.0) << path;
        ov_clear(&file);
    }
}
