// The sky lighting volume inside the renderer's frame, on the small test world (a ground slab and
// a box in front of the camera).
#include "RendererTestScene.h"

#include "platform/FrameTimer.h"
#include "platform/gl/GlExtensions.h"
#include "scene/Light.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

// Switches every feature off but the ones given, restoring them all on destruction.
struct OnlyFeatures {
    Renderer& renderer;
    OnlyFeatures(Renderer& r, std::initializer_list<FeatureSwitch> on) : renderer(r)
    {
        for (int f = 0; f < FeatureSwitchCount; ++f)
            renderer.setFeature(static_cast<FeatureSwitch>(f), false);
        for (FeatureSwitch f : on)
            renderer.setFeature(f, true);
    }
    ~OnlyFeatures()
    {
        for (int f = 0; f < FeatureSwitchCount; ++f)
            renderer.setFeature(static_cast<FeatureSwitch>(f), true);
    }
};

// The HDR scene target's colour (summed) at the pixel where a world point appears.
float hdrAt(Renderer& r, Float3 world)
{
    const Matrix4& m = r.camera().viewProjectionMatrix;
    Float3 clip = transformPoint(m, world);
    float w = m[3] * world.x + m[7] * world.y + m[11] * world.z + m[15];
    int x = static_cast<int>((clip.x / w * 0.5f + 0.5f) * r.width());
    int y = static_cast<int>((clip.y / w * 0.5f + 0.5f) * r.height());
    float rgb[3] = {0, 0, 0};
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::hdrSet(r).scene.framebufferId);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_FLOAT, rgb);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(r));
    return rgb[0] + rgb[1] + rgb[2];
}

}  // namespace

TEST(SkyLightingInFrame, SunMovesRebuildItASliceAFrameAndTheSwitchPausesTheRebuild)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = *testWorld().renderer;
    showInstances(testWorld().instances);
    OnlyFeatures only(r, {SkyLighting});
    const SkyLightingVolume& volume = RendererTestAccess::skyLightingVolume(r);
    // Earlier tests may have moved the sun: work off whatever rebuild is pending.
    for (int frame = 0; frame < 17 && volume.slicesWrittenSinceRestart < 17u; ++frame)
        renderPixels();
    ASSERT_EQ(volume.slicesWrittenSinceRestart, 17u);
    renderPixels();
    EXPECT_FALSE(volume.completeNow);

    const float timeOfDay = r.sun()->timeOfDay;
    const float inclination = r.sun()->inclination;
    r.moveSun(timeOfDay + 0.2f, inclination);
    EXPECT_EQ(volume.slicesWrittenSinceRestart, 0u);
    renderPixels();
    EXPECT_EQ(volume.slicesWrittenSinceRestart, 1u);

    // Switched off, the volume is neither updated nor applied; a sun move meanwhile restarts the
    // count, and the rebuild is worked off once the switch is back on.
    r.setFeature(SkyLighting, false);
    renderPixels();
    r.moveSun(timeOfDay, inclination);
    renderPixels();
    EXPECT_EQ(volume.slicesWrittenSinceRestart, 0u);
    r.setFeature(SkyLighting, true);
    for (int frame = 1; frame <= 17; ++frame) {
        renderPixels();
        EXPECT_EQ(volume.slicesWrittenSinceRestart, static_cast<uint32_t>(frame));
    }
    renderPixels();
    EXPECT_EQ(volume.slicesWrittenSinceRestart, 17u);
}

TEST(SkyLightingInFrame, SkyLightReachesCoveredPixelsOnlyAndTheBoxShadesTheGroundAtItsFoot)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = *testWorld().renderer;
    // Without the sky dome nothing but lighting could write the pixels the ground and box leave
    // uncovered.
    showInstances({testWorld().instances[0], testWorld().box});
    OnlyFeatures only(r, {SkyLighting});
    // The box (x -2..2, y 0..4, z 4..8) as the scene's occluders: four walls and its top.
    r.setSkyOcclusionCorners(occlusionBox({-2, 0, 4}, {2, 4, 8}, true));
    renderPixels();

    float uncovered[3] = {1, 1, 1};
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::hdrSet(r).scene.framebufferId);
    glReadPixels(80, 88, 1, 1, GL_RGB, GL_FLOAT, uncovered);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(r));
    EXPECT_EQ(uncovered[0] + uncovered[1] + uncovered[2], 0.0f);

    const float foot = hdrAt(r, {0.0f, 0.0f, 3.6f});
    const float open = hdrAt(r, {-5.0f, 0.0f, 1.0f});
    EXPECT_GT(open, 0.0f) << "sky light alone lights the open ground";
    // The foot reads the cells in front of the box only (those inside it lie behind its face),
    // which see less sky than the open ground's: shaded, by as much as two-unit cells resolve.
    EXPECT_LT(foot, 0.95f * open) << "foot " << foot << ", open " << open;

    // Switched off, it adds nothing.
    r.setFeature(SkyLighting, false);
    renderPixels();
    EXPECT_EQ(hdrAt(r, {-5.0f, 0.0f, 1.0f}), 0.0f);
    r.setSkyOcclusionCorners({});
}

TEST(SkyLightingInFrame, GroundEnclosedByQuadsGetsNoSkyLightAndSomeThroughAnOpening)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = *testWorld().renderer;
    showInstances({testWorld().instances[0]});
    OnlyFeatures only(r, {SkyLighting});
    // Quads alone (nothing drawn) enclosing the ground over x -6.5..-2.5, z -0.5..3.5 up to 3.5:
    // the cells centred at x -5 and -3 lie within, those at x -1 outside its +x wall.
    auto enclosure = [](bool withTop) { return occlusionBox({-6.5f, 0, -0.5f}, {-2.5f, 3.5f, 3.5f}, withTop); };
    const Float3 middle{-4.5f, 0.0f, 1.5f};
    // Near the +x wall, where the cells outside it are the nearest ones along x.
    const Float3 byTheWall{-2.7f, 0.0f, 1.5f};
    const Float3 outside{0.0f, 0.0f, 1.5f};

    r.setSkyOcclusionCorners(enclosure(true));
    renderPixels();
    EXPECT_EQ(hdrAt(r, middle), 0.0f);
    EXPECT_EQ(hdrAt(r, byTheWall), 0.0f);
    const float open = hdrAt(r, outside);
    EXPECT_GT(open, 0.0f);

    r.setSkyOcclusionCorners(enclosure(false));
    renderPixels();
    EXPECT_GT(hdrAt(r, middle), 0.2f * open) << "open " << open;
    r.setSkyOcclusionCorners({});
}
