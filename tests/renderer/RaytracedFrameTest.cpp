#include "RendererTestScene.h"

#include "content/Object.h"
#include "content/RtImage.h"
#include "gpu/Texture.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "raytracing/HalfFloat.h"
#include "raytracing/RayTracer.h"
#include "renderer/GlStateCheck.h"
#include "scene/RaytracedRect.h"
#include "support/GlTestContext.h"
#include "support/TracedQuads.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

constexpr int width = 160;
constexpr int height = 90;

// The camera stands at (0, 3, 0) and faces a steel mirror filling the view at x = 10. Behind the
// camera, at x = -10, a red wall that only the ray tracer knows (it is never drawn) covers the
// reflections of the mirror's half with z < 0; the reflections of the other half leave the scene
// and see the sky. The sun lights the wall's face towards the mirror.
// Far to the side, seen from (0, 3, 100) looking the other way (toward -x), a glass block of the
// same size stands at x = -10, a red wall behind it at x = -20, its sunlit face towards the block,
// and a green one behind the camera at x = 10, again for the ray tracer alone.
struct TracedScenes {
    ObjectInstance* mirror = nullptr;
    ObjectInstance* glass = nullptr;
    Material* glassMaterial = nullptr;
    RtImage red, green;
};

Material* tracedMaterial(const MaterialOptics& optics)
{
    auto* material = new Material;
    auto pass = [&](int32_t type, const char* vertex, const char* fragment) {
        auto p = std::make_unique<MaterialPass>();
        p->type = type;
        if (vertex)
            linkMaterialProgram(*p, std::string("resources/shaders/materials/") + vertex + ".shader",
                                std::string("resources/shaders/materials/") + fragment + ".shader");
        else
            p->useDefaultPass = true;
        MaterialPass* raw = p.get();
        material->passes.push_back(std::move(p));
        return raw;
    };
    material->deferredWritePass = pass(PassTypeDeferredWrite, nullptr, nullptr);
    material->raycastingPass = pass(PassTypeRaycasting, "raycastingVertex", "raycastingFragment");
    material->raytracedPass = pass(PassTypeRaytraced, "raytracedVertex", "raytracedCompositeFragment");
    material->optics = optics;
    return material;
}

RtImage* plainImage(RtImage& image, float r, float g, float b)
{
    RtImageLevel level;
    level.width = level.height = 1;
    level.texels = {{r, g, b, 1.0f}};
    image.levels = {level};
    return &image;
}

// A wall across x at height -20..30 and z0..z1, double-sided; the kd-tree is built afterwards.
void addWall(RayTracer& tracer, RtImage* image, float x, float z0, float z1)
{
    RtSurface surface;
    surface.colorImage = image;
    surface.doubleSided = 1;
    addTracedQuad(tracer.geometry, surface, {x, -20.0f, z0}, {0.0f, 50.0f, 0.0f}, {0.0f, 0.0f, z1 - z0});
}

TracedScenes& tracedScenes()
{
    static TracedScenes scenes;
    static bool made = false;
    if (made || !testWorld().renderer)
        return scenes;
    made = true;
    MaterialOptics steel;
    steel.reflectance = 0.56f;
    steel.reflectionTint = {0.97f, 0.98f, 1.0f};
    Object* slab = makeBox({10.0f, -4.0f, -20.0f}, {10.5f, 14.0f, 20.0f}, tracedMaterial(steel), false);
    scenes.mirror = new ObjectInstance(slab, {0, 0, 0}, {1, 1, 1}, {});
    MaterialOptics glass;
    glass.reflectance = 0.04f;
    glass.indexOfRefraction = 1.5f;
    glass.transmissionColor = {1.0f, 1.0f, 1.0f};
    scenes.glassMaterial = tracedMaterial(glass);
    Object* block = makeBox({-12.0f, -4.0f, 80.0f}, {-10.0f, 14.0f, 120.0f}, scenes.glassMaterial, false);
    scenes.glass = new ObjectInstance(block, {0, 0, 0}, {1, 1, 1}, {});
    RayTracer& tracer = rayTracer();
    addWall(tracer, plainImage(scenes.red, 1.0f, 0.0f, 0.0f), -10.0f, -30.0f, 0.0f);
    addWall(tracer, &scenes.red, -20.0f, 60.0f, 140.0f);
    addWall(tracer, plainImage(scenes.green, 0.0f, 1.0f, 0.0f), 10.0f, 60.0f, 140.0f);
    tracer.kdTree.geometry = &tracer.geometry;
    tracer.kdTree.buildKdTree();
    return scenes;
}

class RaytracedFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!glContext() || !testWorld().renderer)
            return;
        Renderer& r = *testWorld().renderer;
        savedPosition = r.camera().position;
        savedOrientation = r.camera().orientation;
        r.setCameraPose({0.0f, 3.0f, 0.0f}, fromAxisAngle({0, 1, 0}, 1.5707963f));
    }
    void TearDown() override
    {
        if (!testWorld().renderer)
            return;
        Renderer& r = *testWorld().renderer;
        r.setFeature(Raytracing, true);
        r.setRenderSetting(Refraction, true);
        r.setCameraPose(savedPosition, savedOrientation);
    }

    // The mirror (or another instance) and the sky in view; the instance also as a ray-traced one
    // when asked.
    static void showMirror(bool raytraced, ObjectInstance* instance = nullptr)
    {
        Renderer& r = *testWorld().renderer;
        if (!instance)
            instance = tracedScenes().mirror;
        showInstances({instance, testWorld().sky});
        if (raytraced) {
            r.camera().addRaytraced(instance);
            const Float3* corners[1] = {instance->obb.worldCorners};
            computeRaytracedRect(r.camera(), corners);
        }
    }

    static std::vector<uint8_t> frames(int count)
    {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < count; ++i) {
            frameTimer().elapsedSeconds = 0.5f;
            pixels = renderPixels();
        }
        return pixels;
    }

    static std::vector<float> textureTexels(Texture* texture)
    {
        const RayTracingSet& set = testWorld().renderer->rayTracingSet();
        std::vector<float> texels(size_t(set.width) * set.height * 4);
        glBindTexture(GL_TEXTURE_2D, texture->name);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return texels;
    }

    static Texture* reflectionsTexture(int output, bool refractions = false)
    {
        const RayTracingSet& set = testWorld().renderer->rayTracingSet();
        return (refractions ? set.refractions : set.reflections).textures[output].get();
    }

    Float3 savedPosition;
    Quaternion savedOrientation;
};

// Mean colour of the left or right third of the picture, away from the mirror's middle.
Rgb side(const std::vector<uint8_t>& pixels, bool left)
{
    return left ? meanColor(pixels, width, 8, 20, 48, 70) : meanColor(pixels, width, 112, 20, 152, 70);
}

}  // namespace

TEST_F(RaytracedFrame, AMirrorReflectsTheRedWallOnlyWithRayTracingOn)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    Renderer& r = *testWorld().renderer;
    showMirror(true);
    const int errorsBefore = glErrorTotal();
    const int violationsBefore = conventionViolationTotal();
    const std::vector<uint8_t> on = frames(3);
    EXPECT_EQ(glErrorTotal(), errorsBefore);
    EXPECT_EQ(conventionViolationTotal(), violationsBefore);
    EXPECT_GT(r.rayTracingSet().lastFrame.rays, uint64_t(width / 2 * height / 2 / 2));

    // The wall's half (z < 0 lies on the camera's left) is red, the other half shows the sky.
    const Rgb wall = side(on, true), sky = side(on, false);
    EXPECT_GT(wall.r, 60.0) << wall.r << " " << wall.g << " " << wall.b;
    EXPECT_GT(wall.r, 2.0 * wall.g) << wall.r << " " << wall.g << " " << wall.b;
    EXPECT_GT(sky.b, sky.r) << sky.r << " " << sky.g << " " << sky.b;

    r.setFeature(Raytracing, false);
    const std::vector<uint8_t> off = frames(1);
    const Rgb plain = side(off, true);
    EXPECT_LT(plain.r, 0.5 * wall.r) << plain.r << " " << plain.g << " " << plain.b;
    EXPECT_LT(plain.r, plain.g + 10.0) << plain.r << " " << plain.g << " " << plain.b;
}

TEST_F(RaytracedFrame, TracedPositionsAreZeroWForHitsAndOneForMisses)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    showMirror(true);
    frames(1);
    const RayTracingSet& set = testWorld().renderer->rayTracingSet();
    const std::vector<float> positions = textureTexels(reflectionsTexture(RaytracedGBuffer::Position));
    const int row = set.height / 2;
    const float* hit = &positions[(size_t(row) * set.width + set.width / 6) * 4];
    const float* miss = &positions[(size_t(row) * set.width + set.width * 5 / 6) * 4];
    EXPECT_EQ(hit[3], 0.0f);
    EXPECT_NEAR(hit[0], -10.0f, 0.01f);  // on the wall
    EXPECT_LT(hit[2], 0.0f);
    EXPECT_EQ(miss[3], 1.0f);
}

TEST_F(RaytracedFrame, WithoutRayTracedInstancesOrWithTheSwitchOffNothingIsReadBackOrTraced)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    Renderer& r = *testWorld().renderer;
    showMirror(true);
    frames(1);
    const uint64_t readBacks = r.rayTracingSet().readBackCount;
    const std::vector<float> colors = textureTexels(reflectionsTexture(RaytracedGBuffer::Color));
    Texture* reflected = r.rayTracingSet().reflectionTargets.lastFinished();
    const std::vector<float> lit = textureTexels(reflected);

    showMirror(false);
    frames(1);
    EXPECT_EQ(r.rayTracingSet().readBackCount, readBacks);
    r.setFeature(Raytracing, false);
    showMirror(true);
    frames(1);
    EXPECT_EQ(r.rayTracingSet().readBackCount, readBacks);
    EXPECT_EQ(textureTexels(reflectionsTexture(RaytracedGBuffer::Color)), colors);
    EXPECT_EQ(r.rayTracingSet().reflectionTargets.lastFinished(), reflected);
    EXPECT_EQ(textureTexels(reflected), lit);

    r.setFeature(Raytracing, true);
    frames(1);
    EXPECT_EQ(r.rayTracingSet().readBackCount, readBacks + 1);
    EXPECT_FALSE(r.rayTracingSet().raysPending);
}

// Seen through a glass block, the red wall behind it fills the refraction image and the green
// wall behind the camera the reflection image; the composite shows the block red. With refraction
// off the frame is the one a glass that lets no light through gives, which composites its
// reflection alone, as every ray-traced surface did before refraction was traced.
TEST_F(RaytracedFrame, GlassShowsWhatLiesBehindItAndRefractionOffLeavesTheFrameAsWithoutTransmission)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    Renderer& r = *testWorld().renderer;
    r.setCameraPose({0.0f, 3.0f, 100.0f}, fromAxisAngle({0, 1, 0}, -1.5707963f));
    showMirror(true, tracedScenes().glass);
    const int errorsBefore = glErrorTotal();
    const std::vector<uint8_t> on = frames(2);
    EXPECT_EQ(glErrorTotal(), errorsBefore);
    const RayTracingSet& set = r.rayTracingSet();
    EXPECT_EQ(set.lastFrame.refractionRays, set.lastFrame.rays);
    EXPECT_GT(set.lastFrame.rays, uint64_t(width / 2 * height / 2 / 2));
    const size_t centre = (size_t(set.height / 2) * set.width + set.width / 2) * 4;
    const std::vector<float> refracted = textureTexels(reflectionsTexture(RaytracedGBuffer::Color, true));
    const std::vector<float> reflected = textureTexels(reflectionsTexture(RaytracedGBuffer::Color));
    EXPECT_GT(refracted[centre], 0.99f);
    EXPECT_LT(refracted[centre + 1], 0.01f);
    EXPECT_GT(reflected[centre + 1], 0.99f);
    EXPECT_LT(reflected[centre], 0.01f);
    const Rgb block = meanColor(on, width, 50, 30, 110, 60);
    EXPECT_GT(block.r, 3.0 * block.g) << block.r << " " << block.g << " " << block.b;

    r.setRenderSetting(Refraction, false);
    const Rgb plain = meanColor(frames(2), width, 50, 30, 110, 60);
    const HdrImage off = r.readLinearFrame();
    EXPECT_LT(plain.r, 2.0 * plain.g) << plain.r << " " << plain.g << " " << plain.b;

    Material& glass = *tracedScenes().glassMaterial;
    const Float3 transmission = glass.optics.transmissionColor;
    glass.optics.transmissionColor = {0.0f, 0.0f, 0.0f};
    r.setRenderSetting(Refraction, true);
    frames(2);
    const HdrImage opaque = r.readLinearFrame();
    glass.optics.transmissionColor = transmission;
    EXPECT_EQ(r.rayTracingSet().lastFrame.refractionRays, 0u);
    ASSERT_EQ(off.rgb.size(), opaque.rgb.size());
    EXPECT_TRUE(off.rgb == opaque.rgb);
}
