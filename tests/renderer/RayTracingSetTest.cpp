#include "RendererTestScene.h"

#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "raytracing/RayTracer.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/PassContext.h"
#include "renderer/RayTracingSet.h"
#include "renderer/RayTracingUniforms.h"
#include "renderer/ScissorStack.h"
#include "renderer/TextureUnitTable.h"
#include "support/GlTestContext.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace OrvantaTest;
using namespace Orvanta;

TEST(RayTracingSet, BorderCorrectionOffsetsAreTheTexelStepsOfA3x3Neighbourhood)
{
    float offsets[9][2];
    fillBorderCorrectionOffsets(offsets, 640, 360);
    for (int i = 0; i < 9; ++i) {
        const float steps[2] = {offsets[i][0] * 640.0f, offsets[i][1] * 360.0f};
        for (float step : steps)
            EXPECT_EQ(step, std::round(step)) << "offset " << i;
        // Row by row from (-dx, -dy) to (dx, dy).
        EXPECT_EQ(std::lround(steps[0]), i % 3 - 1) << "offset " << i;
        EXPECT_EQ(std::lround(steps[1]), i / 3 - 1) << "offset " << i;
    }
    EXPECT_EQ(offsets[0][0], -1.0f / 640.0f);
    EXPECT_EQ(offsets[8][1], 1.0f / 360.0f);
}

namespace {

// The ray-tracing semantics of one set, as the renderer supplies them.
struct SetUniforms : UniformValueSource {
    const RayTracingSet& set;
    explicit SetUniforms(const RayTracingSet& s) : set(s) {}
    bool setUniform(UniformSemantic semantic, int location, const UniformContext&) override
    {
        return setRayTracingUniform(set, semantic, location);
    }
    Texture* texture(UniformSemantic, const UniformContext&) override { return nullptr; }
};

void clearTexels(int x, int y, int w, int h, float r, float g, float b)
{
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, w, h);
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace

// An 8 x 8 traced image with an empty 3 x 3 corner block and one empty texel in lit
// surroundings: each empty texel takes the mean of its lit neighbours, one with none stays empty,
// lit texels pass unchanged. The image is in the refraction pair, which the pass names as its
// input (the frame's values would hand out the reflection pair).
TEST(RayTracingSet, BorderCorrectionFillsEmptyTexelsFromTheirLitNeighbours)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    const int errorsBefore = glErrorTotal();
    RayTracer tracer;
    RayTracingSet set;
    createRayTracingSet(set, tracer, 16, 16);
    ASSERT_EQ(set.width, 8);
    ASSERT_NE(set.borderCorrectionProgram, nullptr);

    PingPongTargets& targets = set.refractionTargets;
    glBindFramebuffer(GL_FRAMEBUFFER, targets.current().framebufferId);
    glViewport(0, 0, 8, 8);
    clearTexels(0, 0, 8, 8, 0.2f, 0.4f, 0.6f);
    clearTexels(0, 0, 3, 3, 0.0f, 0.0f, 0.0f);
    clearTexels(5, 5, 1, 1, 0.0f, 0.0f, 0.0f);
    clearTexels(6, 5, 1, 1, 1.0f, 0.0f, 0.0f);
    targets.flip();

    glBindFramebuffer(GL_FRAMEBUFFER, targets.current().framebufferId);
    SetUniforms uniforms(set);
    FrameBufferStack frameBuffers;
    ScissorStack scissors;
    TextureUnitTable units;
    ProgramInputs inputs;
    inputs.with(RAYTRACING_CURRENT_EFFECT_TEXTURE, targets.lastFinished());
    beginFullScreenPass();
    applyProgramUniforms({frameBuffers, scissors, units, *testWorld().renderer, uniforms}, *set.borderCorrectionProgram,
                         inputs);
    drawFullScreenQuad({});
    endFullScreenPass();
    float texels[8 * 8 * 3];
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, 8, 8, GL_RGB, GL_FLOAT, texels);
    glUseProgramObjectARB(0);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(*testWorld().renderer));
    EXPECT_EQ(glErrorTotal(), errorsBefore);

    auto texel = [&](int x, int y, int c) { return texels[(y * 8 + x) * 3 + c]; };
    // Seven lit neighbours and a red one.
    EXPECT_NEAR(texel(5, 5, 0), (7 * 0.2f + 1.0f) / 8, 2e-3f);
    EXPECT_NEAR(texel(5, 5, 1), 7 * 0.4f / 8, 2e-3f);
    EXPECT_NEAR(texel(2, 2, 2), 0.6f, 2e-3f);  // the block's lit-side corner
    EXPECT_EQ(texel(1, 1, 0) + texel(1, 1, 1) + texel(1, 1, 2), 0.0f);
    EXPECT_EQ(texel(0, 0, 0) + texel(0, 0, 1) + texel(0, 0, 2), 0.0f);
    EXPECT_NEAR(texel(6, 5, 0), 1.0f, 2e-3f);
    EXPECT_NEAR(texel(7, 7, 1), 0.4f, 2e-3f);
}
