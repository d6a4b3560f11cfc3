#include "gpu/Material.h"

#include "gpu/Semantics.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "scene/LightType.h"
#include "ShaderFiles.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

using namespace Orvanta;
using OrvantaTest::writeShader;
using OrvantaTest::writeTextFile;

TEST(MaterialFiles, MissingFileGivesDefaultsAndOneMessage)
{
    OrvantaTest::LogCapture log;
    std::string path = OrvantaTest::makeTempDir("material") + "/gone.material";
    auto material = loadMaterial(path);
    EXPECT_FALSE(material->isDoubleSided);
    EXPECT_TRUE(material->castShadows);
    EXPECT_TRUE(material->passes.empty());
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_TRUE(log.contains(path));
}

TEST(MaterialFiles, PassesFlagsAndTextures)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("material");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string fragment = writeShader(
        dir, "f.shader",
        "#version 120\nuniform sampler2D first;\nuniform sampler2D second;\n"
        "void main() { gl_FragColor = texture2D(first, vec2(0.0)) + texture2D(second, vec2(0.0)); }\n");
    std::string text = "material {\n castShadows = false\n isTransparent = maybe\n alphaTestTreshold = 0.5abc\n"
                       " texture { name = a\n fileName = \"" +
                       dir +
                       "/a.tga\" }\n"
                       " texture { name = b\n fileName = \"" +
                       dir +
                       "/b.tga\" }\n"
                       " pass {\n type = DEFERRED_WRITE }\n"
                       " pass {\n vertexShader = \"" +
                       vertex + "\"\n fragmentShader = \"" + fragment +
                       "\"\n"
                       " \n semantics {\n second = b\n first = a }\n fragmentShader = \"" +
                       vertex +
                       "\"\n"
                       " \n semantics {\n first = b }\n type = DEFERRED_WRITE }\n"
                       " pass {\n type = LIGHT\n lightType = SUN }\n pass {\n lightType = AMBIENT\n type = LIGHT }\n"
                       " pass {\n type = NOPE }\n pass {\n type = LIGHT }\n"
                       " pass {\n type = SKY\n vertexShader = \"" +
                       vertex + "\"\n fragmentShader = \"" + fragment +
                       "\"\n"
                       " \n semantics {\n first = undeclared\n second = a } }\n}\n";
    std::string path = writeTextFile(dir, "m.material", text);
    OrvantaTest::LogCapture log;
    auto material = loadMaterial(path);
    EXPECT_FALSE(material->castShadows);
    EXPECT_FALSE(material->isTransparent);
    EXPECT_FLOAT_EQ(material->alphaTestTreshold, 0.5f);
    ASSERT_EQ(material->passes.size(), 5u);
    EXPECT_EQ(material->deferredWritePass, material->passes[1].get());
    EXPECT_EQ(material->passes[2]->lightType, LightTypeSun);
    EXPECT_EQ(material->passes[3]->lightType, LightTypeAmbient);
    EXPECT_EQ(findLightPass(*material, LightTypeAmbient), material->passes[3].get());
    EXPECT_TRUE(log.contains("second semantics block"));
    EXPECT_TRUE(log.contains("without a known type"));
    EXPECT_TRUE(log.contains("without a known lightType"));

    // Both named samplers take their own textures in driver order.
    const MaterialPass& pass = *material->deferredWritePass;
    EXPECT_NE(pass.program.vertexShader, 0u);
    ASSERT_EQ(pass.textures.size(), 2u);
    Texture2D* a = getTexture(dir + "/a.tga", false);
    Texture2D* b = getTexture(dir + "/b.tga", false);
    size_t k = 0;
    for (const UniformBinding& binding : pass.program.uniformBindings) {
        ASSERT_EQ(binding.semantic, MATERIAL_TEXTURE);
        EXPECT_EQ(pass.textures[k++], binding.name == "first" ? a : b);
    }
    applyPassUniforms(&pass, nullptr, nullptr, pass.program, nullptr);
    for (const UniformBinding& binding : pass.program.uniformBindings) {
        GLint unit = -1;
        Orvanta::glGetUniformivARB(pass.program.program, binding.location, &unit);
        Orvanta::glActiveTextureARB(GL_TEXTURE0 + unit);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), (binding.name == "first" ? a : b)->name);
    }
    Orvanta::glActiveTextureARB(GL_TEXTURE0);

    // An undeclared name keeps its slot, so "second" still gets texture a.
    const MaterialPass& sky = *material->skyPass;
    ASSERT_EQ(sky.textures.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(sky.textures[i], sky.program.uniformBindings[i].name == "second" ? a : whiteTexture());
    EXPECT_TRUE(log.contains("undeclared"));
}

TEST(MaterialFiles, CacheReturnsTheSameMaterial)
{
    ORVANTA_REQUIRE_GL();
    std::string path = writeTextFile(OrvantaTest::makeTempDir("material"), "c.material",
                                     "material { isDoubleSided = true }");
    Material* material = getMaterial(path);
    EXPECT_TRUE(material->isDoubleSided);
    EXPECT_EQ(getMaterial(path), material);
}
