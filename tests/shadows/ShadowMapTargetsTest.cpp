#include "ShadowGlSupport.h"
#include "support/GlTestContext.h"

#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

void expectShadowTarget(const FrameBuffer& fb, int size)
{
    EXPECT_EQ(fb.width, size);
    EXPECT_EQ(fb.height, size);
    ASSERT_EQ(fb.colorTextures.size(), 1u);
    EXPECT_NE(fb.depthRenderbuffer, 0u);
    glBindTexture(GL_TEXTURE_2D, fb.colorTexture(0)->name);
    GLint format = 0, width = 0, minFilter = 0, magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(format, GL_RG16F);
    EXPECT_EQ(width, size);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, fb.framebufferId);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace

TEST(ShadowMapSet, CreatesEveryTargetWithItsSizeFormatAndRanges)
{
    ORVANTA_REQUIRE_GL();
    int errorsBefore = glErrorTotal();
    ShadowMapSet set;
    createPointLightShadowFaces(set);
    createCascadedShadowMaps(set);
    createOverlappedShadowMaps(set);

    for (const PointLightShadowFace& face : set.pointLightFaces) {
        expectShadowTarget(face.shadowMap, 512);
        for (float e : face.matrix.m)
            EXPECT_EQ(e, 0.0f);
    }
    const float splits[] = {0, 5, 15, 30, 50, 100};
    for (int i = 0; i < 5; ++i) {
        expectShadowTarget(set.cascades[i].shadowMap, CascadedShadowMapSize);
        EXPECT_EQ(set.cascades[i].nearSplitDistance, splits[i]);
        EXPECT_EQ(set.cascades[i].farSplitDistance, splits[i + 1]);
    }
    const float halfSizes[] = {5, 15, 50};
    for (int i = 0; i < 3; ++i) {
        expectShadowTarget(set.overlapped[i].shadowMap, 512);
        EXPECT_EQ(set.overlapped[i].farSplitDistance, halfSizes[i]);
    }
    EXPECT_EQ(set.cascadedSunLightRadius, 2.0f);
    EXPECT_EQ(set.overlappedSunLightRadius, 0.4f);
    // No two maps share a texture.
    EXPECT_NE(set.cascades[0].shadowMap.colorTexture(0), set.cascades[1].shadowMap.colorTexture(0));
    checkGlErrors("shadow targets test");
    EXPECT_EQ(glErrorTotal(), errorsBefore);
}

TEST(ShadowMapSet, BuildsBothDepthFillProgramsAndTheSamplingDisc)
{
    ORVANTA_REQUIRE_GL();
    ShadowMapSet set;
    createShadowPrograms(set);
    std::string log;
    EXPECT_TRUE(ShadowTest::programLinked(set.zFillProgram, log)) << log;
    EXPECT_TRUE(ShadowTest::programLinked(set.alphaTestedZFillProgram, log)) << log;
    EXPECT_TRUE(ShadowTest::programLinked(set.transmittanceProgram, log)) << log;
    EXPECT_NE(set.zFillProgram, set.alphaTestedZFillProgram);
    // The cut-out variant reads the material's colour texture and threshold.
    bool colour = false, threshold = false;
    for (const UniformBinding& b : set.alphaTestedZFillProgram->uniformBindings) {
        colour |= b.semantic == MATERIAL_COLOR_TEXTURE;
        threshold |= b.semantic == MATERIAL_ALPHA_TEST_TRESHOLD;
    }
    EXPECT_TRUE(colour && threshold);
    ASSERT_EQ(set.samplingVectors.size(), 64u);
    EXPECT_EQ(set.occluderSearchSamples, 8);
    EXPECT_EQ(set.samples, 32);
}

TEST(ShadowMapSet, SoftShadowIncludeBindsTheShadowSemantics)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("soft-shadow-include");
    std::string vertex = ShadowTest::writeShaderFile(
        dir, "v.shader", {}, "varying vec3 p; void main() { p = gl_Vertex.xyz; gl_Position = gl_Vertex; }");
    std::string fragment = ShadowTest::writeShaderFile(
        dir, "f.shader", {"resources/shaders/engine/shadows/softShadows.shader"},
        "varying vec3 p; void main() { gl_FragColor = vec4(sunShadowFactor(p, vec3(0.0, 1.0, 0.0), "
        "p.z, gl_TexCoord[2].xy) * overlappedSunShadowFactor(p, vec3(0.0, 1.0, 0.0), "
        "gl_TexCoord[2].xy)); }");
    const ShaderProgram* program = getProgram(vertex, fragment);
    std::string log;
    ASSERT_TRUE(ShadowTest::programLinked(program, log)) << log;

    std::vector<int> expected = {SOFT_SHADOW_MAPPING_SAMPLING_VECTORS, SOFT_SHADOW_MAPPING_NUM_OCCLUDER_SEARCH_SAMPLES,
                                 SOFT_SHADOW_MAPPING_NUM_SAMPLES, SHADOW_SAMPLING_NOISE_TEXTURE};
    for (int i = 0; i < 5; ++i) {
        expected.push_back(CASCADED_SHADOW_MAP0 + i);
        expected.push_back(CASCADED_SHADOW_MAP0_MATRIX + i);
        expected.push_back(CASCADED_SHADOW_MAP0_SPLIT_DISTANCE + i);
        expected.push_back(CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS + i);
    }
    for (int i = 0; i < 3; ++i) {
        expected.push_back(OVERLAPPED_SHADOW_MAP0 + i);
        expected.push_back(OVERLAPPED_SHADOW_MAP0_MATRIX + i);
        expected.push_back(OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS + i);
    }
    for (int semantic : expected) {
        bool found = false;
        for (const UniformBinding& b : program->uniformBindings)
            found |= b.semantic == semantic;
        EXPECT_TRUE(found) << uniformSemanticName(semantic);
    }
}
