#include "ShadowGlSupport.h"
#include "support/GlTestContext.h"

#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/HeadlessContext.h"
#include "platform/Log.h"
#include "renderer/ScissorStack.h"
#include "renderer/TextureUnitTable.h"
#include "scene/Light.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

using namespace Orvanta;
using ShadowTest::FlatQuad;

namespace {

// A camera 3 units above the origin looking straight down, so the ground around the origin lies
// in the first cascade's slice.
void placeCameraAboveOrigin(Camera& camera)
{
    camera.fieldOfView = 60.0f;
    camera.aspectRatio = 1.0f;
    camera.nearDistance = 0.1f;
    camera.farDistance = 100.0f;
    camera.setPosition({0.0f, 3.0f, 0.0f});
    camera.setOrientation(fromAxisAngle({1, 0, 0}, 1.5707964f));
    camera.updateMatrices();
}

// Fixture: a shadow set with its programs, a random noise texture and a stand-in framebuffer stack.
class ShadowRendering : public testing::Test {
protected:
    void SetUp() override
    {
        context = OrvantaTest::glContext();
        if (!context)
            return;
        set = std::make_unique<ShadowMapSet>();
        createCascadedShadowMaps(*set);
        createOverlappedShadowMaps(*set);
        createShadowPrograms(*set);
        noise = std::make_unique<Texture2D>();
        std::mt19937 random(3);
        std::vector<unsigned char> texels(32 * 32 * 4);
        for (unsigned char& t : texels)
            t = static_cast<unsigned char>(random() & 255);
        glBindTexture(GL_TEXTURE_2D, noise->name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glBindTexture(GL_TEXTURE_2D, 0);
        set->samplingNoise = noise.get();
        stack = std::make_unique<FrameBufferStack>();
        stack->setWindow(context);
        values = std::make_unique<ShadowTest::ShadowValueSource>(*set);
        placeCameraAboveOrigin(camera);
    }

    // Renders the ground square [-1.5, 1.5]^2 at y = 0 into the window target with each pixel's lit
    // fraction from the cascades, and returns the target's pixels (top row first).
    std::vector<uint8_t> renderLitGround(float viewDepth)
    {
        return renderLitReceiver(viewDepth, "gl_Vertex.xyz", "vec3(0.0, 1.0, 0.0)");
    }

    // As renderLitGround, for the receiver that `position` (GLSL, of gl_Vertex, whose x and z span
    // the square) and `normal` place in the world instead of the ground.
    std::vector<uint8_t> renderLitReceiver(float viewDepth, const std::string& position, const std::string& normal)
    {
        std::string dir = OrvantaTest::makeTempDir("soft-shadow-ground");
        std::string vertex = ShadowTest::writeShaderFile(
            dir, "groundVertex.shader", {},
            "varying vec3 worldPosition;\n"
            "void main() { worldPosition = " +
                position +
                ";\n"
                "  gl_Position = vec4(gl_Vertex.x / 1.5, gl_Vertex.z / 1.5, 0.0, 1.0); }\n");
        std::string fragment = ShadowTest::writeShaderFile(
            dir, "groundFragment.shader", {"resources/shaders/engine/shadows/softShadows.shader"},
            "varying vec3 worldPosition;\nuniform float viewDepth;\n"
            "void main() { float lit = sunShadowFactor(worldPosition, " +
                normal + ", viewDepth, gl_FragCoord.xy / 32.0);\n  gl_FragColor = vec4(lit, lit, lit, 1.0); }\n");
        const ShaderProgram* program = getProgram(vertex, fragment);
        std::string log;
        EXPECT_TRUE(ShadowTest::programLinked(program, log)) << log;

        glBindFramebuffer(GL_FRAMEBUFFER, context->framebuffer());
        glViewport(0, 0, context->width(), context->height());
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ShadowTest::ShadowValueSource source(*set);
        applyPassUniforms(nullptr, nullptr, &source, *program, nullptr);
        glUniform1fARB(glGetUniformLocationARB(program->program, "viewDepth"), viewDepth);
        ShadowTest::drawFlatQuad({0.0f, 0.0f, 0.0f, 1.5f});
        glUseProgramObjectARB(0);
        for (int unit = 7; unit >= 0; --unit) {
            Orvanta::glActiveTextureARB(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        glEnable(GL_DEPTH_TEST);
        return context->readPixels();
    }

    // Lit fraction of the ground at world (x, z), from the picture of renderLitGround.
    float litAt(const std::vector<uint8_t>& pixels, float x, float z) const
    {
        int size = context->width();
        int column = static_cast<int>((x / 1.5f + 1.0f) * 0.5f * size);
        int rowFromBottom = static_cast<int>((z / 1.5f + 1.0f) * 0.5f * size);
        int row = size - 1 - rowFromBottom;
        return pixels[(static_cast<size_t>(row) * size + column) * 4] / 255.0f;
    }

    void updateCascades(const SunLight& sun, const std::vector<FlatQuad>& casters,
                        const std::vector<ShadowTest::Pane>& panes = {})
    {
        ShadowTest::CasterDrawing drawing(set->zFillProgram, casters, &drawCount, set->transmittanceProgram, panes);
        updateCascadedShadowMaps(passContext(drawing), *set, sun, camera);
    }

    // The fixture's stacks and uniform values, with `scene` drawing the shadow casters.
    PassContext passContext(SceneDrawing& scene) { return {*stack, scissors, textureUnits, scene, *values}; }

    HeadlessContext* context = nullptr;
    std::unique_ptr<ShadowMapSet> set;
    std::unique_ptr<Texture2D> noise;
    std::unique_ptr<FrameBufferStack> stack;
    ScissorStack scissors;
    TextureUnitTable textureUnits;
    std::unique_ptr<ShadowTest::ShadowValueSource> values;
    Camera camera;
    int drawCount = 0;
};

const FlatQuad ground{0.0f, 0.0f, 0.0f, 3.0f};
const FlatQuad occluder{0.0f, 1.0f, 0.0f, 0.5f};

}  // namespace

TEST_F(ShadowRendering, ShadowMapHoldsTheNearestCastersLightDepthAndZeroElsewhere)
{
    ORVANTA_REQUIRE_GL();
    int errorsBefore = glErrorTotal();
    SunLight sun;  // overhead: light depth d . p = -y
    computeCascadedShadowCameras(*set, sun, camera);

    // Something else is bound, as when the sun's light pass runs inside the HDR target.
    FrameBuffer& outer = set->overlapped[0].shadowMap;
    stack->push(&outer);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    GLfloat before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);

    ShadowTest::CasterDrawing drawing(set->zFillProgram, {ground, occluder}, &drawCount);
    renderShadowMap(passContext(drawing), set->cascades[0]);

    EXPECT_EQ(drawCount, 1);
    EXPECT_EQ(stack->count(), 1);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), outer.framebufferId);
    GLfloat after[16], clear[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]);
    EXPECT_EQ(clear[2], 0.75f);
    stack->pop();
    glLoadIdentity();

    // Texels under the occluder hold its depth (-1), the rest of the ground 0; the ground ends
    // at |x| = 3, and the map of the first cascade reaches past it, where nothing was drawn.
    std::vector<float> texels = ShadowTest::readShadowMap(set->cascades[0].shadowMap);
    const Matrix4& m = set->cascades[0].camera.viewProjectionMatrix;
    auto texelAt = [&](Float3 p) {
        Float3 clip = transformPoint(m, p);
        const int size = CascadedShadowMapSize;
        int s = static_cast<int>((clip.x * 0.5f + 0.5f) * size);
        int t = static_cast<int>((clip.y * 0.5f + 0.5f) * size);
        EXPECT_TRUE(s >= 0 && s < size && t >= 0 && t < size);
        return texels[static_cast<size_t>(std::clamp(t, 0, size - 1)) * size + std::clamp(s, 0, size - 1)];
    };
    EXPECT_NEAR(ShadowTest::decodeStoredDepth(texelAt({0.1f, 0.0f, -0.2f})), -1.0f, 0.05f);
    EXPECT_NEAR(ShadowTest::decodeStoredDepth(texelAt({1.0f, 0.0f, 1.0f})), 0.0f, 0.05f);
    EXPECT_EQ(texelAt({3.3f, 0.0f, 0.0f}), 0.0f);
    checkGlErrors("shadow map render test");
    EXPECT_EQ(glErrorTotal(), errorsBefore);
}

TEST_F(ShadowRendering, CascadedUpdateDrawsEveryMapThroughItsOwnView)
{
    ORVANTA_REQUIRE_GL();
    SunLight sun;
    sun.setSunPosition(-0.3454f, -0.80855f);
    std::vector<SceneView*> drawnViews;
    struct ViewRecorder : SceneDrawing {
        std::vector<SceneView*>& views;
        explicit ViewRecorder(std::vector<SceneView*>& drawn) : views(drawn) {}
        void drawScene(ScenePassKind kind, SceneView& view, const ProgramInputs&) override
        {
            // Each map is drawn twice through its view: the occluders, then the panes.
            if (kind == ScenePassKind::ShadowZFill)
                views.push_back(&view);
            else
                EXPECT_TRUE(kind == ScenePassKind::ShadowTransmittance && &view == views.back());
        }
    } recorder(drawnViews);
    updateCascadedShadowMaps(passContext(recorder), *set, sun, camera);
    ASSERT_EQ(drawnViews.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(drawnViews[i], static_cast<SceneView*>(&set->cascades[i].camera));
        EXPECT_GT(set->cascades[i].uvSpaceSunLightRadius, 0.0f);
    }
    // Farther slices are wider, so their maps are larger and the sun's radius smaller in them.
    EXPECT_GT(set->cascades[0].uvSpaceSunLightRadius, set->cascades[4].uvSpaceSunLightRadius);

    drawnViews.clear();
    updateOverlappedShadowMaps(passContext(recorder), *set, sun, camera);
    ASSERT_EQ(drawnViews.size(), 3u);
    EXPECT_FLOAT_EQ(set->overlapped[1].uvSpaceSunLightRadius, 0.4f / 15.0f);
    EXPECT_EQ(stack->count(), 0);
}

TEST_F(ShadowRendering, AFullFramebufferStackLeavesTheMapAloneWithAMessage)
{
    ORVANTA_REQUIRE_GL();
    FrameBuffer& outer = set->overlapped[0].shadowMap;
    for (int i = 0; i < FrameBufferStack::capacity; ++i)
        stack->push(&outer);
    ShadowTest::CasterDrawing drawing(set->zFillProgram, {ground, occluder}, &drawCount);
    std::vector<std::string> messages;
    setLogSink([&messages](const std::string& m) { messages.push_back(m); });
    renderShadowMap(passContext(drawing), set->cascades[0]);
    setLogSink({});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("shadow map"), std::string::npos);
    // Nothing was drawn, and the outer target is still the bound one.
    EXPECT_EQ(drawCount, 0);
    EXPECT_EQ(stack->count(), FrameBufferStack::capacity);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), outer.framebufferId);
    while (stack->count() > 0)
        stack->pop();
}

TEST_F(ShadowRendering, OverheadSunShadowsTheGroundRightBelowTheOccluder)
{
    ORVANTA_REQUIRE_GL();
    SunLight sun;
    updateCascades(sun, {ground, occluder});
    std::vector<uint8_t> pixels = renderLitGround(2.0f);
    EXPECT_LT(litAt(pixels, 0.0f, 0.0f), 0.1f);
    EXPECT_LT(litAt(pixels, 0.4f, -0.4f), 0.1f);
    EXPECT_GT(litAt(pixels, 0.6f, 0.0f), 0.9f);
    EXPECT_GT(litAt(pixels, -1.2f, 1.2f), 0.9f);
}

TEST_F(ShadowRendering, SlantedSunMovesTheShadowWithoutAcneOrDetachment)
{
    ORVANTA_REQUIRE_GL();
    SunLight sun;
    sun.setSunPosition(0.0f, 0.5f);  // light travels towards +x: the shadow lies tan(0.5) along x
    updateCascades(sun, {ground, occluder});
    std::vector<uint8_t> pixels = renderLitGround(2.0f);
    float shift = std::tan(0.5f);  // 0.546; the shadow covers x from 0.046 to 1.046
    EXPECT_LT(litAt(pixels, shift, 0.0f), 0.1f);
    EXPECT_LT(litAt(pixels, 0.10f, 0.3f), 0.1f);   // 5 cm inside the near edge
    EXPECT_LT(litAt(pixels, 0.99f, -0.3f), 0.1f);  // 5 cm inside the far edge
    EXPECT_GT(litAt(pixels, 0.0f, 0.0f), 0.9f);    // 5 cm outside: no peter-panning gap
    EXPECT_GT(litAt(pixels, -0.3f, 0.0f), 0.9f);   // right below the occluder, but lit
    EXPECT_GT(litAt(pixels, 1.10f, 0.0f), 0.9f);
    // The lit ground, itself a caster, does not shadow itself anywhere.
    int acne = 0;
    for (float x = -1.4f; x < -0.05f; x += 0.05f)
        for (float z = -1.4f; z < 1.4f; z += 0.05f)
            acne += litAt(pixels, x, z) < 0.95f;
    EXPECT_EQ(acne, 0);
}

TEST_F(ShadowRendering, NothingDrawnIntoTheMapsCastsNoShadow)
{
    ORVANTA_REQUIRE_GL();
    SunLight sun;
    sun.setSunPosition(0.0f, 0.5f);
    updateCascades(sun, {ground});
    std::vector<uint8_t> pixels = renderLitGround(2.0f);
    EXPECT_GT(litAt(pixels, tanf(0.5f), 0.0f), 0.95f);
    // Beyond the last cascade's split nothing is shadowed.
    updateCascades(sun, {ground, occluder});
    pixels = renderLitGround(150.0f);
    EXPECT_GT(litAt(pixels, tanf(0.5f), 0.0f), 0.95f);
}

TEST_F(ShadowRendering, EveryCascadeShadowsTheGround)
{
    ORVANTA_REQUIRE_GL();
    SunLight sun;
    updateCascades(sun, {ground, occluder});
    for (float viewDepth : {2.0f, 10.0f, 20.0f, 40.0f, 70.0f}) {
        std::vector<uint8_t> pixels = renderLitGround(viewDepth);
        EXPECT_LT(litAt(pixels, 0.0f, 0.0f), 0.1f) << "view depth " << viewDepth;
        EXPECT_LT(litAt(pixels, 0.2f, -0.2f), 0.1f) << "view depth " << viewDepth;
        EXPECT_GT(litAt(pixels, 1.2f, 0.0f), 0.9f) << "view depth " << viewDepth;
    }
}

TEST_F(ShadowRendering, SteepSunShadowsAWallUpToTheOverhangAboveIt)
{
    ORVANTA_REQUIRE_GL();
    // A wall in the plane z = 0 facing -z, from y = 0 to 1 (the square's z mapped to height), under
    // a 1 x 1 overhang at y = 1 reaching out to z = -1. The sun stands 75 degrees high in front of
    // it, so the light grazes the wall and every point of it under the overhang is in the
    // overhang's shadow: h below it the overhang is only 1.04 h nearer the sun. One worst-case
    // slope (about 3.7 here) over the whole filter lit the wall's upper half in the 40 m cascade
    // and all of it in the 70 m one. Only a band about a filter's width deep (less than a texel in
    // the map, which the grazing light stretches along the wall) may stay partly lit.
    SunLight sun;
    sun.setSunPosition(-0.2618f, 0.0f);  // light travels down and towards +z
    updateCascades(sun, {FlatQuad{0.0f, 1.0f, -0.5f, 0.5f}});
    struct Case {
        float viewDepth;
        float shadowedUpTo;
    };
    for (Case c : {Case{2.5f, 0.8f}, Case{20.0f, 0.7f}, Case{40.0f, 0.5f}, Case{70.0f, 0.3f}}) {
        std::vector<uint8_t> pixels = renderLitReceiver(c.viewDepth, "vec3(gl_Vertex.x, 0.5 + gl_Vertex.z / 3.0, 0.0)",
                                                        "vec3(0.0, 0.0, -1.0)");
        auto litOnWall = [&](float x, float y) { return litAt(pixels, x, (y - 0.5f) * 3.0f); };
        for (float y : {0.1f, c.shadowedUpTo})
            EXPECT_LT(litOnWall(0.0f, y), 0.1f) << "view depth " << c.viewDepth << ", height " << y;
        // Beside the overhang the wall is in the sun.
        EXPECT_GT(litOnWall(1.2f, 0.5f), 0.9f) << "view depth " << c.viewDepth;
        EXPECT_GT(litOnWall(-1.2f, 0.9f), 0.9f) << "view depth " << c.viewDepth;
    }
}

// A pane passes what its Fresnel reflectance (Schlick's curve at the sun's angle) does not send
// back, times its transmission: the ground under it takes that share of the sun, under two panes
// the product, beside them all of it, and under an opaque roof none, whatever pane lies below it.
TEST_F(ShadowRendering, PanesLetThroughTheSunTheirFresnelReflectanceDoesNotSendBack)
{
    ORVANTA_REQUIRE_GL();
    SunLight sun;
    const ShadowTest::Pane pane{{0.8f, 1.0f, 0.8f, 0.4f}, 0.2f, 0.5f};
    const ShadowTest::Pane lowerPane{{0.8f, 0.6f, -0.8f, 0.4f}, 0.2f, 0.5f};
    const ShadowTest::Pane upperPane{{0.8f, 1.0f, -0.8f, 0.4f}, 0.2f, 0.5f};
    const ShadowTest::Pane paneUnderRoof{{-0.8f, 0.6f, 0.0f, 0.4f}, 0.2f, 0.5f};
    const FlatQuad roof{-0.8f, 1.2f, 0.0f, 0.4f};
    updateCascades(sun, {ground, roof}, {pane, lowerPane, upperPane, paneUnderRoof});
    std::vector<uint8_t> pixels = renderLitGround(2.0f);
    const float through = 0.5f * (1.0f - 0.2f);  // straight down: the reflectance at normal incidence
    const float level = 2.0f / 255.0f;
    EXPECT_NEAR(litAt(pixels, 0.8f, 0.8f), through, level);
    EXPECT_NEAR(litAt(pixels, 0.8f, -0.8f), through * through, level);
    EXPECT_LT(litAt(pixels, -0.8f, 0.0f), 0.05f);
    EXPECT_GT(litAt(pixels, 0.0f, 0.0f), 0.97f);
    EXPECT_GT(litAt(pixels, -1.3f, 1.3f), 0.97f);

    // Slanted 1.2 radians (the light travels towards +x): a clear pane 0.2 above the ground
    // passes 1 - (1 - cos 1.2)^5 and tints the ground 0.2 tan 1.2 along x.
    sun.setSunPosition(0.0f, 1.2f);
    const ShadowTest::Pane clear{{0.0f, 0.2f, 0.0f, 0.4f}, 0.0f, 1.0f};
    updateCascades(sun, {ground}, {clear});
    pixels = renderLitGround(2.0f);
    const float shift = 0.2f * std::tan(1.2f);
    EXPECT_NEAR(litAt(pixels, shift, 0.0f), 1.0f - std::pow(1.0f - std::cos(1.2f), 5.0f), level);
    EXPECT_GT(litAt(pixels, shift - 0.6f, 0.0f), 0.97f);
}
