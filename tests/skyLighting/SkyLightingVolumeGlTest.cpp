// The sky lighting volume on a hand-built scene: a sky of one known radiance, occlusion quads
// placed by hand, and a small G-buffer of chosen surfaces that the apply pass lights.
#include "support/GlTestContext.h"

#include "gpu/Semantics.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "platform/Log.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/ScissorStack.h"
#include "renderer/SkyLightingUniforms.h"
#include "renderer/SkyLightingVolume.h"
#include "renderer/TextureUnitTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace Orvanta;

namespace {

// Radiance of the test sky, the same from every direction.
constexpr float SkyRadiance[3] = {0.2f, 0.4f, 0.8f};

// One surface of the hand-built G-buffer: world position and normal, white.
struct Surface {
    Float3 position;
    Float3 normal;
};

std::unique_ptr<Texture2D> floatTexture(int width, int height, const std::vector<float>& rgba)
{
    auto texture = std::make_unique<Texture2D>();
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

std::vector<float> repeated(size_t count, float r, float g, float b, float a)
{
    std::vector<float> values;
    for (size_t i = 0; i < count; ++i)
        values.insert(values.end(), {r, g, b, a});
    return values;
}

bool linked(const ShaderProgram* program)
{
    if (!program)
        return false;
    GLint status = 0;
    glGetObjectParameterivARB(program->program, GL_OBJECT_LINK_STATUS_ARB, &status);
    return status != 0;
}

// A horizontal square occluder at height y over [x0, x1] x [z0, z1], as four corners in the
// parallelogram order (corner 3 = corner 0 + corner 2 - corner 1).
std::vector<Float3> horizontalQuad(float x0, float z0, float x1, float z1, float y)
{
    return {{x1, y, z0}, {x0, y, z0}, {x0, y, z1}, {x1, y, z1}};
}

class SkyLightingVolumeGl : public testing::Test, public UniformValueSource, public SceneDrawing {
protected:
    void SetUp() override
    {
        context = OrvantaTest::glContext();
        if (!context)
            return;
        setLogSink([this](const std::string& message) { logged += message + "\n"; });
        volume = std::make_unique<SkyLightingVolume>();
        initSkyLightingVolume(*volume);
        glBindFramebuffer(GL_FRAMEBUFFER, context->framebuffer());
        skyMap = floatTexture(8, 8, repeated(64, SkyRadiance[0], SkyRadiance[1], SkyRadiance[2], 1.0f));
        stack.setWindow(context);
        errorsBefore = glErrorTotal();
    }

    void TearDown() override
    {
        if (!context)
            return;
        EXPECT_EQ(checkGlErrors("sky lighting volume test"), 0);
        EXPECT_EQ(glErrorTotal(), errorsBefore);
        EXPECT_EQ(logged.find("shader"), std::string::npos) << logged;
        setLogSink(nullptr);
    }

    bool setUniform(UniformSemantic semantic, int location, const UniformContext&) override
    {
        return setSkyLightingUniform(*volume, semantic, location);
    }

    Texture* texture(UniformSemantic semantic, const UniformContext&) override
    {
        if (Texture* volumeTexture = skyLightingTexture(*volume, semantic))
            return volumeTexture;
        switch (semantic) {
        case SKY_MAP_TEXTURE:
            return skyMap.get();
        case GBUFFER_COLOR_TEXTURE:
            return gBufferColor.get();
        case GBUFFER_NORMAL_TEXTURE:
            return gBufferNormal.get();
        case GBUFFER_GEOMETRY_NORMAL_TEXTURE:
            return gBufferNormal.get();
        case GBUFFER_POSITION_TEXTURE:
            return gBufferPosition.get();
        default:
            return nullptr;
        }
    }

    // The volume's passes draw no scene instances.
    void drawScene(ScenePassKind, SceneView&, const ProgramInputs&) override
    {
        ADD_FAILURE() << "a sky lighting pass drew the scene";
    }

    PassContext passContext() { return {stack, scissors, textureUnits, *this, *this}; }

    // Builds the whole volume as the first frame does.
    void rebuildWhole()
    {
        volume->completeNow = true;
        volume->slicesWrittenSinceRestart = 0;
        updateSkyLightingVolume(passContext(), *volume);
        ASSERT_FALSE(volume->completeNow);
    }

    // Lights the surfaces (white) with the apply pass and returns the added radiance of each.
    std::vector<Float3> lightSurfaces(const std::vector<Surface>& surfaces)
    {
        const int n = static_cast<int>(surfaces.size());
        std::vector<float> positions, normals;
        for (const Surface& s : surfaces) {
            positions.insert(positions.end(), {s.position.x, s.position.y, s.position.z, 1.0f});
            normals.insert(normals.end(), {s.normal.x, s.normal.y, s.normal.z, 1.0f});
        }
        gBufferColor = floatTexture(n, 1, repeated(surfaces.size(), 1.0f, 1.0f, 1.0f, 0.0f));
        gBufferNormal = floatTexture(n, 1, normals);
        gBufferPosition = floatTexture(n, 1, positions);

        FrameBuffer target;
        target.create(n, 1);
        target.addColorAttachment(0, PixelFormatRgba32F, 0, false);
        target.setDrawBuffers();
        stack.push(&target);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        FrustumVectors rays;
        drawSkyLighting(passContext(), *volume, {nullptr, &rays});
        std::vector<float> rgba(static_cast<size_t>(n) * 4);
        glReadPixels(0, 0, n, 1, GL_RGBA, GL_FLOAT, rgba.data());
        stack.pop();
        std::vector<Float3> added;
        for (int i = 0; i < n; ++i)
            added.push_back({rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]});
        return added;
    }

    // The first texture's red channel (band 0 of red) of every cell of one layer.
    std::vector<float> layerOfFirstTexture(uint32_t layer)
    {
        std::vector<float> all(static_cast<size_t>(volume->width * volume->length * volume->height) * 4);
        glBindTexture(GL_TEXTURE_3D, volume->textures[0]->name);
        glGetTexImage(GL_TEXTURE_3D, 0, GL_RGBA, GL_FLOAT, all.data());
        glBindTexture(GL_TEXTURE_3D, 0);
        std::vector<float> red;
        size_t base = static_cast<size_t>(layer) * volume->width * volume->length;
        for (size_t i = 0; i < static_cast<size_t>(volume->width * volume->length); ++i)
            red.push_back(all[(base + i) * 4]);
        return red;
    }

    HeadlessContext* context = nullptr;
    std::unique_ptr<SkyLightingVolume> volume;
    std::unique_ptr<Texture2D> skyMap;
    std::unique_ptr<Texture2D> gBufferColor;
    std::unique_ptr<Texture2D> gBufferNormal;
    std::unique_ptr<Texture2D> gBufferPosition;
    FrameBufferStack stack;
    ScissorStack scissors;
    TextureUnitTable textureUnits;
    std::string logged;
    int errorsBefore = 0;
};

}  // namespace

TEST_F(SkyLightingVolumeGl, OpenCellsReceiveTheIrradianceOfAConstantSky)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_TRUE(linked(volume->writeProgram)) << logged;
    ASSERT_TRUE(linked(volume->applyProgram)) << logged;
    rebuildWhole();
    // A white surface under a sky of radiance L: facing up it receives pi L and sends back L;
    // facing sideways it sees half the sky and sends back L / 2. Inside the volume and beyond it
    // (where the open sky is projected on the spot) alike; down-facing surfaces see no sky.
    const std::vector<Surface> surfaces = {
        {{3.0f, 0.0f, -7.0f}, {0, 1, 0}},  {{-30.5f, 12.0f, 41.0f}, {1, 0, 0}}, {{10.0f, 5.0f, 10.0f}, {0, 0, -1}},
        {{200.0f, 0.0f, 0.0f}, {0, 1, 0}}, {{0.0f, 40.0f, 0.0f}, {0, 0, 1}},    {{5.0f, 20.0f, 5.0f}, {0, -1, 0}},
    };
    const float expected[] = {1.0f, 0.5f, 0.5f, 1.0f, 0.5f, 0.0f};
    std::vector<Float3> added = lightSurfaces(surfaces);
    for (size_t i = 0; i < surfaces.size(); ++i) {
        const float channels[3] = {added[i].x, added[i].y, added[i].z};
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(channels[c], expected[i] * SkyRadiance[c], 0.05f * SkyRadiance[c])
                << "surface " << i << " channel " << c;
    }
}

TEST_F(SkyLightingVolumeGl, QuadsShadeTheSkyAsParallelogramsOfTheirFirstThreeCorners)
{
    ORVANTA_REQUIRE_GL();
    // A roof 6 units up over [-20, 0] x [-20, 0] whose stored fourth corner is unusable (a scene
    // record cannot hold its z): the parallelogram of the first three still closes the square.
    std::vector<Float3> corners = horizontalQuad(-20.0f, -20.0f, 0.0f, 0.0f, 6.0f);
    corners[3] = {123.0f, -50.0f, 0.0f};
    setSkyOcclusionCorners(*volume, corners);
    rebuildWhole();
    const std::vector<Surface> surfaces = {
        {{-10.0f, 0.0f, -10.0f}, {0, 1, 0}},   // under the middle of the roof
        {{-3.0f, 0.0f, -3.0f}, {0, 1, 0}},     // under the corner the fourth corner closes
        {{40.0f, 0.0f, 40.0f}, {0, 1, 0}},     // in the open
        {{-10.0f, 10.0f, -10.0f}, {0, 1, 0}},  // above the roof
    };
    std::vector<Float3> added = lightSurfaces(surfaces);
    EXPECT_LT(added[0].z, 0.35f * added[2].z);
    EXPECT_LT(added[1].z, 0.7f * added[2].z);
    EXPECT_NEAR(added[2].z, SkyRadiance[2], 0.05f * SkyRadiance[2]);
    EXPECT_NEAR(added[3].z, SkyRadiance[2], 0.05f * SkyRadiance[2]);

    // Without the quad the same places are open again.
    setSkyOcclusionCorners(*volume, {});
    rebuildWhole();
    added = lightSurfaces(surfaces);
    EXPECT_NEAR(added[0].z, SkyRadiance[2], 0.05f * SkyRadiance[2]);
}

// Under a constant sky, a sphere of leaves of radius R centred h above a cell takes away, of each
// way at angle t from the zenith within the sphere's cone (sin t < R / h), the share
// 1 - exp(-density * chord) of its light, chord = 2 sqrt(R^2 - h^2 sin^2 t): an upward surface
// reading that cell gets 1 - 2 * integral over the cone of that share times cos t sin t dt of the
// open sky's light. The surface lies 1.05 below the centre of the cell at (-9, 1, -9), which it
// reads one cell (plus 0.05) out along its normal.
TEST_F(SkyLightingVolumeGl, AFoliageCrownDimsTheSkyByTheLeavesAlongEachWay)
{
    ORVANTA_REQUIRE_GL();
    const float density = 0.24f;  // leaves per unit of length, as the write shader has them
    const float radius = 8.0f;
    const float height = 11.0f;
    setSkyFoliage(*volume, {{{-9.0f, 1.0f + height, -9.0f}, {radius, radius, radius}}});
    rebuildWhole();
    double taken = 0.0;
    const int steps = 20000;
    const double cone = std::asin(radius / height);
    for (int i = 0; i < steps; ++i) {
        const double t = (i + 0.5) * cone / steps;
        const double s = height * std::sin(t);
        const double chord = 2.0 * std::sqrt(std::max(0.0, double(radius) * radius - s * s));
        taken += (1.0 - std::exp(-density * chord)) * std::cos(t) * std::sin(t) * cone / steps;
    }
    const float expected = static_cast<float>(1.0 - 2.0 * taken);
    ASSERT_LT(expected, 0.8f);
    const std::vector<Surface> surfaces = {{{-9.0f, -1.05f, -9.0f}, {0, 1, 0}}, {{41.0f, -1.05f, 41.0f}, {0, 1, 0}}};
    std::vector<Float3> added = lightSurfaces(surfaces);
    EXPECT_NEAR(added[0].z, expected * SkyRadiance[2], 0.06f * SkyRadiance[2]) << "expected " << expected;
    EXPECT_NEAR(added[1].z, SkyRadiance[2], 0.05f * SkyRadiance[2]);

    setSkyFoliage(*volume, {});
    rebuildWhole();
    added = lightSurfaces(surfaces);
    EXPECT_NEAR(added[0].z, SkyRadiance[2], 0.05f * SkyRadiance[2]);
}

TEST_F(SkyLightingVolumeGl, AProgressiveFrameRewritesOnlyItsOwnLayer)
{
    ORVANTA_REQUIRE_GL();
    rebuildWhole();
    std::vector<float> before[16];
    for (uint32_t layer = 0; layer < 16; ++layer)
        before[layer] = layerOfFirstTexture(layer);
    // A brighter sky after a sun move: the next frame rewrites the layer that was next, alone.
    skyMap = floatTexture(8, 8,
                          repeated(64, 2.0f * SkyRadiance[0], 2.0f * SkyRadiance[1], 2.0f * SkyRadiance[2], 1.0f));
    const uint32_t next = volume->nextSlice;
    restartSkyLightingVolume(*volume);
    updateSkyLightingVolume(passContext(), *volume);
    for (uint32_t layer = 0; layer < 16; ++layer) {
        std::vector<float> after = layerOfFirstTexture(layer);
        float ratio = after[0] / before[layer][0];
        if (layer == next)
            EXPECT_NEAR(ratio, 2.0f, 0.01f) << "layer " << layer;
        else
            EXPECT_EQ(after, before[layer]) << "layer " << layer;
    }
    EXPECT_EQ(volume->nextSlice, (next + 1) % 16);
}
