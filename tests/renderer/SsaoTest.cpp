#include "RendererTestScene.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrustumVectors.h"
#include "renderer/GlStateCheck.h"
#include "renderer/SsaoPass.h"
#include "renderer/SsaoUniforms.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <memory>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

// The texture unit a program's sampler of the given semantic reads, as the uniform supply handed it
// out (the program must be current), or -1 when the program has no such sampler.
int samplerUnit(const ShaderProgram& program, UniformSemantic semantic)
{
    for (const UniformBinding& binding : program.uniformBindings) {
        if (binding.semantic != semantic || binding.location < 0)
            continue;
        GLint unit = -1;
        glGetUniformivARB(program.program, binding.location, &unit);
        return unit;
    }
    return -1;
}

// The test world's client size.
constexpr int clientWidth = 160;
constexpr int clientHeight = 90;

// The test world's renderer; its context must be current before any GL object of a test is made.
Renderer* worldRenderer()
{
    return testWorld().renderer;
}

std::vector<float> readTexture(Texture* texture, int width, int height)
{
    std::vector<float> texels(static_cast<size_t>(width) * static_cast<size_t>(height));
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GLint internalFormat(Texture2D* texture)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint magnificationFilter(Texture2D* texture)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// The ambient-occlusion semantics from a set of the test's own, everything else (G-buffer,
// frustum rays, noise) from the renderer.
class SsaoTestSource : public UniformValueSource {
public:
    SsaoTestSource(const SsaoSet& ssaoSet, UniformValueSource& r) : set(ssaoSet), renderer(r) {}
    bool setUniform(UniformSemantic semantic, int location, const UniformContext& context) override
    {
        return setSsaoUniform(set, semantic, location) || renderer.setUniform(semantic, location, context);
    }
    Texture* texture(UniformSemantic semantic, const UniformContext& context) override
    {
        if (Texture* own = ssaoTexture(set, semantic))
            return own;
        return renderer.texture(semantic, context);
    }
    void bindTextureUnit(int unit, Texture* texture) override { renderer.bindTextureUnit(unit, texture); }

private:
    const SsaoSet& set;
    UniformValueSource& renderer;
};

struct Pixel {
    int x = 0;
    int y = 0;  // from the bottom row
};

// Where a world point appears in the test world's client area.
Pixel pixelOf(const Camera& camera, Float3 p)
{
    const Matrix4& m = camera.viewProjectionMatrix;
    Float3 clip = transformPoint(m, p);
    float w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
    Pixel pixel;
    pixel.x = static_cast<int>(std::floor((clip.x / w * 0.5f + 0.5f) * clientWidth));
    pixel.y = static_cast<int>(std::floor((clip.y / w * 0.5f + 0.5f) * clientHeight));
    return pixel;
}

// Ambient term of the hand-built scenes, written into the scene target before the pass.
constexpr float ambient = 0.5f;

// A scene target holding a constant ambient term; the pass is applied to it on top of the
// G-buffer the renderer drew for the shown instances.
class SsaoScene : public testing::Test {
protected:
    void SetUp() override
    {
        renderer = worldRenderer();
        if (!renderer)
            return;
        savedPosition = renderer->camera().position;
        savedOrientation = renderer->camera().orientation;
        set = std::make_unique<SsaoSet>();
        set->create(clientWidth, clientHeight);
        target = std::make_unique<FrameBuffer>();
        target->create(clientWidth, clientHeight);
        target->addColorAttachment(0, PixelFormatRgb16F, 0, false);
        target->setDrawBuffers();
        glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*renderer));
    }

    void TearDown() override
    {
        if (!renderer)
            return;
        placeCamera(savedPosition, savedOrientation);
        showInstances(testWorld().instances);
    }

    void placeCamera(Float3 position, Quaternion orientation)
    {
        renderer->camera().setPosition(position);
        renderer->camera().setOrientation(orientation);
        renderer->camera().updateTransform();
        renderer->camera().updateMatrices();
    }

    // The ambient factor the pass applied to each pixel (bottom row first): the scene target
    // after the pass divided by the ambient term. Also checks that the pass raised no GL error,
    // left the convention state, both matrices and the bound target as it found them.
    std::vector<float> ambientFactors(const std::vector<ObjectInstance*>& instances)
    {
        showInstances(instances);
        renderer->renderFrame();  // the G-buffer of these instances
        RendererTestAccess::frameBufferStack(*renderer).push(target.get());
        glClearColor(ambient, ambient, ambient, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        RendererTestAccess::loadViewMatrices(*renderer);
        Matrix4 modelviewBefore, projectionBefore, modelviewAfter, projectionAfter;
        glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore.m);
        glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore.m);

        FrustumVectors rays = unitDepthFrustumVectors(renderer->camera());
        SsaoTestSource source(*set, *renderer);
        int errorsBefore = glErrorTotal();
        PassContext context = RendererTestAccess::passContext(*renderer);
        drawSsao({context.frameBuffers, context.scissors, context.textureUnits, context.scene, source}, *set,
                 {RendererTestAccess::gBuffer(*renderer).depthTexture(), &rays});
        EXPECT_EQ(glErrorTotal(), errorsBefore) << testWorld().logged;
        EXPECT_EQ(conventionStateDifferences(), "");
        EXPECT_EQ(RendererTestAccess::frameBufferStack(*renderer).top(), target.get());
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], clientWidth);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter.m);
        glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter.m);
        EXPECT_TRUE(std::equal(modelviewBefore.m, modelviewBefore.m + 16, modelviewAfter.m));
        EXPECT_TRUE(std::equal(projectionBefore.m, projectionBefore.m + 16, projectionAfter.m));

        std::vector<float> rgb(static_cast<size_t>(clientWidth * clientHeight * 3));
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glReadPixels(0, 0, clientWidth, clientHeight, GL_RGB, GL_FLOAT, rgb.data());
        RendererTestAccess::frameBufferStack(*renderer).pop();
        RendererTestAccess::textureUnitTable(*renderer).unbindAll();
        std::vector<float> factors(static_cast<size_t>(clientWidth * clientHeight));
        for (size_t i = 0; i < factors.size(); ++i)
            factors[i] = rgb[i * 3] / ambient;
        return factors;
    }

    static float factorAt(const std::vector<float>& factors, Pixel p)
    {
        return factors[static_cast<size_t>(p.y * clientWidth + p.x)];
    }

    // Mean factor over the pixels within `radius` of p.
    static float meanAround(const std::vector<float>& factors, Pixel p, int radius)
    {
        float sum = 0.0f;
        int count = 0;
        for (int y = p.y - radius; y <= p.y + radius; ++y)
            for (int x = p.x - radius; x <= p.x + radius; ++x) {
                sum += factorAt(factors, {x, y});
                ++count;
            }
        return sum / static_cast<float>(count);
    }

    Renderer* renderer = nullptr;
    std::unique_ptr<SsaoSet> set;
    std::unique_ptr<FrameBuffer> target;
    Float3 savedPosition;
    Quaternion savedOrientation;
};

void writeShaderFile(const std::string& path, const std::string& semantics, const std::string& code)
{
    std::ofstream out(path);
    out << "shader {\nincludes {\nfile = \"resources/shaders/engine/common/glslVersion.shader\"\n}\n"
        << "semantics {\n"
        << semantics << "}\ncode = \"" << code << "\"\n}\n";
}

}  // namespace

TEST(SsaoBlurCoefficients, AreANormalisedGaussianSymmetricAboutTheMiddle)
{
    std::array<float, SsaoBlurCoefficientCount> c = makeSsaoBlurCoefficients();
    double sum = 0.0;
    double referenceSum = 0.0;
    double reference[SsaoBlurCoefficientCount];
    for (int i = 0; i < SsaoBlurCoefficientCount; ++i) {
        double x = -2.0 + 0.2 * i;
        reference[i] = std::exp(-x * x);
        referenceSum += reference[i];
        sum += c[static_cast<size_t>(i)];
    }
    EXPECT_NEAR(sum, 1.0, 1e-6);
    for (int i = 0; i < SsaoBlurCoefficientCount; ++i)
        EXPECT_NEAR(c[static_cast<size_t>(i)], reference[i] / referenceSum, 1e-6) << "tap " << i;
    // Mirror taps are equal and the weights rise towards the middle one (x = 0).
    for (int i = 0; i < SsaoBlurCoefficientCount / 2; ++i) {
        EXPECT_NEAR(c[static_cast<size_t>(i)], c[static_cast<size_t>(20 - i)], 1e-7f) << "tap " << i;
        EXPECT_LT(c[static_cast<size_t>(i)], c[static_cast<size_t>(i + 1)]) << "tap " << i;
    }
}

TEST(SsaoSet, OddClientSizesGiveRoundedDownHalfTargetsWithoutDepthBuffers)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(worldRenderer(), nullptr) << testWorld().logged;
    SsaoSet set;
    set.create(161, 91);
    EXPECT_EQ(set.depth.width, 80);
    EXPECT_EQ(set.depth.height, 45);
    EXPECT_EQ(set.occlusion.width, 80);
    EXPECT_EQ(set.occlusion.height, 45);
    EXPECT_EQ(set.blur.width, 161);
    EXPECT_EQ(set.blur.height, 91);
    for (FrameBuffer* target : {&set.depth, &set.occlusion, &set.blur}) {
        EXPECT_EQ(target->depthRenderbuffer, 0u);
        glBindFramebuffer(GL_FRAMEBUFFER, target->framebufferId);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    EXPECT_EQ(internalFormat(set.depthTexture()), GL_R16F);
    EXPECT_EQ(magnificationFilter(set.depthTexture()), GL_NEAREST);
    EXPECT_EQ(internalFormat(set.occlusionTexture()), GL_INTENSITY8);
    EXPECT_EQ(magnificationFilter(set.occlusionTexture()), GL_LINEAR);
    EXPECT_EQ(internalFormat(set.blurTexture()), GL_INTENSITY8);
    EXPECT_EQ(magnificationFilter(set.blurTexture()), GL_LINEAR);

    // Sixteen vectors spread over the disc of radius 0.25.
    ASSERT_EQ(set.samplingVectors.size(), 2u * SsaoSampleCount);
    float longest = 0.0f;
    for (size_t i = 0; i < set.samplingVectors.size(); i += 2)
        longest = std::max(longest, std::hypot(set.samplingVectors[i], set.samplingVectors[i + 1]));
    EXPECT_LE(longest, 0.25f + 1e-6f);
    EXPECT_GT(longest, 0.1f);

    // A one-pixel side still gets a target GL accepts.
    SsaoSet tiny;
    tiny.create(1, 1);
    EXPECT_EQ(tiny.depth.width, 1);
    EXPECT_EQ(tiny.occlusion.height, 1);
    glBindFramebuffer(GL_FRAMEBUFFER, tiny.occlusion.framebufferId);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*worldRenderer()));
    EXPECT_EQ(testWorld().logged.find("SSAO"), std::string::npos) << testWorld().logged;
}

TEST(SsaoUniforms, TheRendererFeedsEveryValueWithElementCounts)
{
    ORVANTA_REQUIRE_GL();
    Renderer* r = worldRenderer();
    ASSERT_NE(r, nullptr);
    SsaoSet unbuilt;
    EXPECT_FALSE(setSsaoUniform(unbuilt, SSAO_DISTANCE, 0));
    EXPECT_EQ(ssaoTexture(unbuilt, SSAO_TEXTURE), nullptr);

    std::string path = makeTempDir("ssao-uniforms") + "/allSsaoValues.shader";
    writeShaderFile(path,
                    "occlusion = SSAO_TEXTURE\nvectors = SSAO_SAMPLING_VECTORS\nvectorCount = SSAO_NUM_SAMPLES\n"
                    "reach = SSAO_DISTANCE\nstrength = SSAO_INTENSITY\nradius = SSAO_BLUR_RADIUS\n"
                    "weights = SSAO_GAUSSIAN_BLUR_COEFFICIENTS\nweightCount = SSAO_GAUSSIAN_BLUR_NUM_SAMPLES\n",
                    "uniform sampler2D occlusion; uniform vec2 vectors[16]; uniform int vectorCount;\n"
                    "uniform float reach; uniform float strength; uniform float radius;\n"
                    "uniform float weights[21]; uniform int weightCount;\n"
                    "void main() { float s = texture2D(occlusion, vec2(0.5)).r + reach + strength + radius;\n"
                    "  for (int i = 0; i < 16; ++i) s += vectors[i].x + vectors[i].y;\n"
                    "  for (int i = 0; i < 21; ++i) s += weights[i];\n"
                    "  gl_FragColor = vec4(s + float(vectorCount + weightCount)); }\n");
    ShaderProgram* program = getFragmentProgram(path);
    ASSERT_NE(program, nullptr);
    int errorsBefore = glErrorTotal();
    applyPassUniforms(nullptr, nullptr, r, *program, nullptr);
    EXPECT_EQ(glErrorTotal(), errorsBefore) << testWorld().logged;

    const SsaoSet& set = RendererTestAccess::ssaoSet(*r);
    auto floatOf = [&](const char* name) {
        float value = -1.0f;
        glGetUniformfvARB(program->program, glGetUniformLocationARB(program->program, name), &value);
        return value;
    };
    auto intOf = [&](const char* name) {
        GLint value = -1;
        glGetUniformivARB(program->program, glGetUniformLocationARB(program->program, name), &value);
        return value;
    };
    // Each uniform receives the renderer's set's own value (they differ, so a swap shows).
    EXPECT_EQ(floatOf("reach"), set.distance);
    EXPECT_EQ(floatOf("strength"), set.intensity);
    EXPECT_EQ(floatOf("radius"), set.blurRadius);
    EXPECT_EQ(size_t(intOf("vectorCount")) * 2, set.samplingVectors.size());
    EXPECT_EQ(size_t(intOf("weightCount")), set.blurCoefficients.size());
    EXPECT_EQ(floatOf("weights[20]"), set.blurCoefficients[20]);
    float lastVector[2] = {0.0f, 0.0f};
    glGetUniformfvARB(program->program, glGetUniformLocationARB(program->program, "vectors[15]"), lastVector);
    EXPECT_EQ(lastVector[0], set.samplingVectors[30]);
    EXPECT_EQ(lastVector[1], set.samplingVectors[31]);
    int unit = samplerUnit(*program, SSAO_TEXTURE);
    ASSERT_GE(unit, 0);
    EXPECT_EQ(RendererTestAccess::textureUnitTable(*r).entry(unit), set.occlusionTexture());
    RendererTestAccess::textureUnitTable(*r).unbindAll();
    glUseProgramObjectARB(0);
}

TEST_F(SsaoScene, FloorBesideABoxFootIsDarkerThanOpenFloorWhichStaysUnoccluded)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(renderer, nullptr) << testWorld().logged;
    // The world's ground slab (top at y = 0) and its box (x -2..2, z 4..8, 4 high), seen from
    // 3 units up in front of the box; no sky, so the top rows are uncovered.
    placeCamera({0.0f, 3.0f, -6.0f}, fromAxisAngle({1, 0, 0}, 0.15f));
    const std::vector<float> factors = ambientFactors({testWorld().instances[0], testWorld().box});
    const Camera& camera = renderer->camera();

    // The floor a fifth of a unit in front of the box's face.
    Pixel foot = pixelOf(camera, {0.0f, 0.0f, 3.8f});
    float besideFoot = 0.0f;
    for (int dx = -2; dx <= 2; ++dx)
        besideFoot += factorAt(factors, {foot.x + dx, foot.y}) / 5.0f;
    float openFront = meanAround(factors, pixelOf(camera, {0.0f, 0.0f, -1.0f}), 1);
    float openSide = meanAround(factors, pixelOf(camera, {-7.0f, 0.0f, 2.0f}), 1);
    EXPECT_LT(besideFoot, 0.9f) << "open floor " << openFront;
    EXPECT_LT(besideFoot, openFront - 0.08f);
    // Open floor with nothing near stays within 2 % of its unoccluded value, pixel by pixel.
    for (Float3 open : {Float3{0.0f, 0.0f, -1.0f}, Float3{-7.0f, 0.0f, 2.0f}, Float3{7.0f, 0.0f, 2.0f}}) {
        Pixel centre = pixelOf(camera, open);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                EXPECT_GE(factorAt(factors, {centre.x + dx, centre.y + dy}), 0.98f)
                    << "open floor near " << open.x << ", " << open.z;
    }
    EXPECT_GE(openSide, 0.98f);
    // The occlusion only ever darkens, and uncovered pixels (top row) keep the ambient exactly.
    for (float f : factors)
        ASSERT_LE(f, 1.0f + 1e-3f);
    for (int x = 0; x < clientWidth; ++x)
        ASSERT_EQ(factorAt(factors, {x, clientHeight - 1}), 1.0f) << "column " << x;
}

TEST_F(SsaoScene, AFarWallSeenPastANearPostIsNotDarkened)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(renderer, nullptr) << testWorld().logged;
    // A post standing on a walkway of its own width, 8 units in front of the camera, and a wall
    // 26 units away: the depth step at the post's silhouette is far beyond the occlusion
    // distance, and the crease at the post's foot lies right beside wall pixels on screen.
    ObjectInstance* post = makeBoxInstance({-0.5f, 0.0f, 2.0f}, {0.5f, 12.0f, 2.4f});
    ObjectInstance* walkway = makeBoxInstance({-0.5f, -1.0f, -10.0f}, {0.5f, 0.0f, 2.0f});
    ObjectInstance* wall = makeBoxInstance({-40.0f, -40.0f, 20.0f}, {40.0f, 30.0f, 21.0f});
    placeCamera({0.0f, 3.0f, -6.0f}, Quaternion{});
    const std::vector<float> factors = ambientFactors({post, walkway, wall});
    const Camera& camera = renderer->camera();

    // Seen along +z, world +x is on the screen's left.
    int postLeft = pixelOf(camera, {0.5f, 0.0f, 2.0f}).x;
    int postRight = pixelOf(camera, {-0.5f, 0.0f, 2.0f}).x;
    ASSERT_GT(postRight, postLeft + 4);
    // The post's face just above the walkway is in a crease...
    Pixel foot = pixelOf(camera, {0.0f, 0.15f, 2.0f});
    EXPECT_LT(factorAt(factors, foot), 0.95f);
    // ...but neither that crease nor the post itself darkens the wall beside it on screen.
    for (int y = foot.y - 4; y <= foot.y + 30; y += 2) {
        for (int x : {postRight + 1, postRight + 2, postRight + 4, postLeft - 1, postLeft - 2, postLeft - 4})
            EXPECT_GE(factorAt(factors, {x, y}), 0.98f) << "wall pixel " << x << ", " << y;
    }
}

TEST(SsaoInFrame, SwitchedOffNothingRunsAndSwitchedOnTheDirectLightIsNotDarkened)
{
    ORVANTA_REQUIRE_GL();
    Renderer* r = worldRenderer();
    ASSERT_NE(r, nullptr) << testWorld().logged;
    showInstances(testWorld().instances);
    const SsaoSet& set = RendererTestAccess::ssaoSet(*r);
    auto hdrPixels = [&] {
        std::vector<float> rgb(static_cast<size_t>(clientWidth * clientHeight * 3));
        glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::hdrSet(*r).scene.framebufferId);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glReadPixels(0, 0, clientWidth, clientHeight, GL_RGB, GL_FLOAT, rgb.data());
        glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*r));
        return rgb;
    };
    bool savedSwitches[FeatureSwitchCount] = {};
    for (int i = 0; i < FeatureSwitchCount; ++i)
        savedSwitches[i] = r->featureOn(static_cast<FeatureSwitch>(i));
    // Nothing adds indirect light before the occlusion: only direct light reaches the target.
    r->setFeature(SkyLighting, false);
    r->setFeature(LightPropagationVolumes, false);

    // A marker in the occlusion target survives a frame with the switch off.
    glBindFramebuffer(GL_FRAMEBUFFER, set.occlusion.framebufferId);
    glViewport(0, 0, set.occlusion.width, set.occlusion.height);
    glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*r));
    r->setFeature(Ssao, false);
    frameTimer().elapsedSeconds = 0.1f;
    renderPixels();
    std::vector<float> withoutOcclusion = hdrPixels();
    std::vector<float> marker = readTexture(set.occlusionTexture(), set.occlusion.width, set.occlusion.height);
    EXPECT_TRUE(std::all_of(marker.begin(), marker.end(), [](float v) { return std::fabs(v - 0.5f) < 0.01f; }));

    r->setFeature(Ssao, true);
    int errorsBefore = glErrorTotal();
    int violationsBefore = conventionViolationTotal();
    renderPixels();
    std::vector<float> withOcclusion = hdrPixels();
    std::vector<float> written = readTexture(set.occlusionTexture(), set.occlusion.width, set.occlusion.height);
    for (int i = 0; i < FeatureSwitchCount; ++i)
        r->setFeature(static_cast<FeatureSwitch>(i), savedSwitches[i]);
    EXPECT_EQ(glErrorTotal(), errorsBefore) << testWorld().logged;
    EXPECT_EQ(conventionViolationTotal(), violationsBefore) << testWorld().logged;
    EXPECT_FALSE(std::all_of(written.begin(), written.end(), [](float v) { return std::fabs(v - 0.5f) < 0.01f; }));
    // The occlusion multiplies what came before it, which here is nothing: the direct light that
    // follows it comes through unchanged.
    EXPECT_EQ(withOcclusion, withoutOcclusion);
}

TEST(SsaoInFrame, EveryHalfSizeDepthTexelHoldsTheEyeDepthOfTheLowerLeftFullSizeTexelUnderIt)
{
    ORVANTA_REQUIRE_GL();
    Renderer* r = worldRenderer();
    ASSERT_NE(r, nullptr) << testWorld().logged;
    showInstances(testWorld().instances);
    renderPixels();
    const SsaoSet& set = RendererTestAccess::ssaoSet(*r);
    std::vector<float> full = readTexture(RendererTestAccess::gBuffer(*r).depthTexture(), clientWidth, clientHeight);
    std::vector<float> half = readTexture(set.depthTexture(), set.depth.width, set.depth.height);
    float deepest = 0.0f;
    for (int y = 0; y < set.depth.height; ++y)
        for (int x = 0; x < set.depth.width; ++x) {
            float copied = half[static_cast<size_t>(y * set.depth.width + x)];
            deepest = std::max(deepest, copied);
            // The same texel everywhere: a choice by rounding would differ between the quad's
            // triangles and bend flat ground along the quad's diagonal.
            ASSERT_EQ(copied, full[static_cast<size_t>(2 * y * clientWidth + 2 * x)])
                << "half-size texel " << x << ", " << y;
        }
    // Eye depths are copied unclamped (the fixed-function copy into a float target).
    EXPECT_GT(deepest, 10.0f);
}
