#include "content/Object.h"
#include "gpu/SubmeshMaterial.h"
#include "RendererTestScene.h"

#include "platform/FrameTimer.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/GlStateCheck.h"
#include "renderer/PassTimer.h"
#include "scene/Light.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

Renderer& readyRenderer()
{
    TestWorld& world = testWorld();
    return *world.renderer;
}

std::vector<uint8_t> settledFrame()
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 4; ++i) {
        frameTimer().elapsedSeconds = 0.5f;
        pixels = renderPixels();
    }
    return pixels;
}

}  // namespace

TEST(RendererFrame, EngineProgramsCompileAndThreeFramesRaiseNoGlError)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    showInstances(testWorld().instances);
    int errorsBefore = glErrorTotal();
    int violationsBefore = conventionViolationTotal();
    for (int i = 0; i < 3; ++i)
        renderPixels();
    EXPECT_EQ(glErrorTotal(), errorsBefore);
    EXPECT_EQ(conventionViolationTotal(), violationsBefore);
    EXPECT_EQ(testWorld().logged.find("shader"), std::string::npos) << testWorld().logged;
}

TEST(RendererFrame, MaterialShadersLink)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    const char* pairs[][2] = {
        {"skyVertex", "skyFragment"},
        {"transparentVertex", "transparentFragment"},
        {"waterGBufferWriteVertex", "waterGBufferWriteFragment"},
        {"raycastingVertex", "raycastingFragment"},
        {"raytracedVertex", "raytracedCompositeFragment"},
    };
    for (auto& pair : pairs) {
        MaterialPass pass;
        EXPECT_TRUE(linkMaterialProgram(pass, std::string("resources/shaders/materials/") + pair[0] + ".shader",
                                        std::string("resources/shaders/materials/") + pair[1] + ".shader"))
            << pair[0];
    }
}

TEST(RendererFrame, SkyIsBlueishAndLitSurfacesAreNotBlack)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    showInstances(testWorld().instances);
    std::vector<uint8_t> pixels = settledFrame();
    Rgb sky = meanColor(pixels, 160, 0, 0, 160, 15);
    EXPECT_GT(sky.b, sky.r) << "sky " << sky.r << " " << sky.g << " " << sky.b;
    Rgb ground = meanColor(pixels, 160, 0, 75, 160, 90);
    EXPECT_GT(ground.sum(), 60.0);
}

TEST(RendererFrame, DirectLightingOffDarkensLitSurfaces)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = readyRenderer();
    showInstances(testWorld().instances);
    // The sun's share alone: the sky's light would stay and the eye adapt to it.
    r.setFeature(SkyLighting, false);
    Rgb lit = meanColor(settledFrame(), 160, 0, 75, 160, 90);
    r.setFeature(DirectLighting, false);
    Rgb dark = meanColor(renderPixels(), 160, 0, 75, 160, 90);
    r.setFeature(DirectLighting, true);
    r.setFeature(SkyLighting, true);
    EXPECT_LT(dark.sum(), lit.sum() * 0.5);
}

namespace {

std::vector<std::string> timedPasses(Renderer& r)
{
    PassTimer timer;
    r.setPassTimer(&timer);
    timer.beginFrame();
    r.renderFrame();
    std::vector<std::string> passes;
    for (const PassTimer::Sample& sample : timer.endFrame())
        passes.push_back(sample.pass);
    r.setPassTimer(nullptr);
    return passes;
}

int positionOf(const std::vector<std::string>& passes, const std::string& pass)
{
    for (size_t i = 0; i < passes.size(); ++i)
        if (passes[i] == pass)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(RendererFrame, SunShadowMapsAreAStepOfTheirOwnBeforeTheDirectLightAndFollowItsSwitch)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    Renderer& r = readyRenderer();
    showInstances(testWorld().instances);
    std::vector<std::string> passes = timedPasses(r);
    const int shadows = positionOf(passes, "cascaded shadow maps");
    ASSERT_GE(shadows, 0);
    EXPECT_LT(shadows, positionOf(passes, "stencil mark"));
    EXPECT_LT(shadows, positionOf(passes, "direct lighting"));

    r.setFeature(DirectLighting, false);
    passes = timedPasses(r);
    r.setFeature(DirectLighting, true);
    EXPECT_EQ(positionOf(passes, "cascaded shadow maps"), -1);
    EXPECT_EQ(positionOf(passes, "direct lighting"), -1);
    EXPECT_EQ(checkGlErrors("shadow step test"), 0);
}

TEST(RendererFrame, ARendererWithoutAWindowHasNoSizeAndDrawsNothing)
{
    ORVANTA_REQUIRE_GL();
    Renderer unbound;
    EXPECT_EQ(unbound.width(), 0);
    EXPECT_EQ(unbound.height(), 0);
    const int errorsBefore = glErrorTotal();
    PassTimer timer;
    unbound.setPassTimer(&timer);
    timer.beginFrame();
    unbound.renderFrame();
    // Not set up: not a single pass ran.
    EXPECT_TRUE(timer.endFrame().empty());
    EXPECT_EQ(glErrorTotal(), errorsBefore);
}

TEST(RendererFrame, TimeOfDayChangesTheSkyAndSunColour)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = readyRenderer();
    showInstances(testWorld().instances);
    renderPixels();
    float noonRed = r.sun()->color[0];
    float before[3];
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::skySet(r).skyMap.framebufferId);
    glReadPixels(128, 200, 1, 1, GL_RGB, GL_FLOAT, before);
    r.moveSun(1.45f, -0.8f);
    renderPixels();
    EXPECT_FALSE(RendererTestAccess::skySet(r).updateFlag);
    float after[3];
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::skySet(r).skyMap.framebufferId);
    glReadPixels(128, 200, 1, 1, GL_RGB, GL_FLOAT, after);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(r));
    EXPECT_NE(before[2], after[2]);
    // Low sun: longer path through the air, redder and dimmer light.
    EXPECT_LT(r.sun()->color[0], noonRed);
    EXPECT_LT(r.sun()->color[2] / r.sun()->color[0], 1.0f);
    r.moveSun(-0.3454f, -0.80855f);
}

TEST(RendererFrame, UncoveredPixelsAreUntouchedByLighting)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = readyRenderer();
    // Without the sky nothing but lighting could write the top rows, which the box and ground
    // do not cover.
    showInstances({testWorld().instances[0], testWorld().box});
    renderPixels();
    float hdr[3] = {1, 1, 1};
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::hdrSet(r).scene.framebufferId);
    glReadPixels(80, 88, 1, 1, GL_RGB, GL_FLOAT, hdr);
    float covered[3] = {0, 0, 0};
    glReadPixels(80, 2, 1, 1, GL_RGB, GL_FLOAT, covered);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(r));
    EXPECT_EQ(hdr[0] + hdr[1] + hdr[2], 0.0f);
    EXPECT_GT(covered[0] + covered[1] + covered[2], 0.0f);
}

TEST(RendererFrame, DoubleSidedMaterialDrawsWithCullingOffAndRestoresIt)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = readyRenderer();
    showInstances(testWorld().instances);
    renderPixels();  // leaves the frame's GL state, culling on
    // From inside the box every face is a back face: culled unless the material is double-sided.
    ObjectInstance* box = testWorld().box;
    Material* material = box->object->submeshes[0].material->material;
    Float3 savedPosition = r.camera().position;
    r.camera().setPosition({0.0f, 2.0f, 6.0f});
    r.camera().updateTransform();
    r.camera().updateMatrices();
    showInstances({box});
    auto coveredPixels = [&] {
        RendererTestAccess::frameBufferStack(r).push(&RendererTestAccess::gBuffer(r).frameBuffer);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        RendererTestAccess::loadViewMatrices(r);
        RendererTestAccess::passContext(r).scene.drawScene(ScenePassKind::DeferredWrite, r.camera());
        // Attachment 3 holds the eye depth: positive where a surface was written.
        std::vector<float> depth(160 * 90);
        glReadBuffer(GL_COLOR_ATTACHMENT3);
        glReadPixels(0, 0, 160, 90, GL_RED, GL_FLOAT, depth.data());
        RendererTestAccess::frameBufferStack(r).pop();
        int covered = 0;
        for (float d : depth)
            covered += d > 0.0f;
        return covered;
    };
    material->isDoubleSided = false;
    int culled = coveredPixels();
    material->isDoubleSided = true;
    int twoSided = coveredPixels();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    material->isDoubleSided = false;
    r.camera().setPosition(savedPosition);
    r.camera().updateTransform();
    r.camera().updateMatrices();
    EXPECT_EQ(culled, 0);
    EXPECT_EQ(twoSided, 160 * 90);
}

TEST(RendererFrame, AdaptationIndexAlternatesEveryFrame)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = readyRenderer();
    showInstances(testWorld().instances);
    int first = RendererTestAccess::hdrSet(r).adaptationIndex;
    renderPixels();
    EXPECT_EQ(RendererTestAccess::hdrSet(r).adaptationIndex, 1 - first);
    renderPixels();
    EXPECT_EQ(RendererTestAccess::hdrSet(r).adaptationIndex, first);
}

TEST(RendererFrame, PopOnEmptyFrameBufferStackChangesNothing)
{
    ORVANTA_REQUIRE_GL();
    Renderer& r = readyRenderer();
    ASSERT_EQ(RendererTestAccess::frameBufferStack(r).count(), 0);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(r));
    glViewport(3, 4, 50, 60);
    RendererTestAccess::frameBufferStack(r).pop();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(viewport[0], 3);
    EXPECT_EQ(viewport[2], 50);
    EXPECT_EQ(static_cast<unsigned>(bound), RendererTestAccess::windowFramebuffer(r));
    RendererTestAccess::frameBufferStack(r).push(&RendererTestAccess::skySet(r).skyMap);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 256);
    RendererTestAccess::frameBufferStack(r).pop();
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 160);
    EXPECT_EQ(viewport[3], 90);
}
