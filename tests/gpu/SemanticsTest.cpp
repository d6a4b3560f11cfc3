#include "gpu/Semantics.h"

#include "gpu/Material.h"
#include "gpu/ShaderSource.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "scene/Math.h"
#include "ShaderFiles.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>

using namespace Orvanta;
using OrvantaTest::writeShader;

namespace {

// Records what the mechanism asks for and hands out one texture per sampler semantic.
class RecordingSource : public UniformValueSource {
public:
    bool setUniform(UniformSemantic semantic, int location, const UniformContext&) override
    {
        valuesSet.push_back(semantic);
        if (semantic == ELAPSED_TIME) {
            Orvanta::glUniform1fARB(location, 0.75f);
            return true;
        }
        return false;
    }
    Texture* texture(UniformSemantic semantic, const UniformContext&) override
    {
        if (semantic == SHADOW_MAP_NX)
            return nullptr;  // a texture the renderer does not have
        auto& slot = textures[semantic];
        if (!slot)
            slot = std::make_unique<Texture2D>();
        return slot.get();
    }
    void bindTextureUnit(int unit, Texture* texture) override
    {
        unitOf[texture] = unit;
        UniformValueSource::bindTextureUnit(unit, texture);
    }

    std::vector<UniformSemantic> valuesSet;
    std::map<UniformSemantic, std::unique_ptr<Texture2D>> textures;
    std::map<Texture*, int> unitOf;
};

GLint uniformInt(const ShaderProgram& program, const std::string& name)
{
    GLint value = -1;
    Orvanta::glGetUniformivARB(program.program, Orvanta::glGetUniformLocationARB(program.program, name.c_str()),
                               &value);
    return value;
}

const UniformBinding* findBinding(const ShaderProgram& program, const std::string& name)
{
    for (const UniformBinding& binding : program.uniformBindings)
        if (binding.name == name)
            return &binding;
    return nullptr;
}

const std::string samplersFragment =
    "#version 120\nuniform sampler2D normals;\nuniform float amount;\nuniform sampler2D cascade;\n"
    "void main() { gl_FragColor = texture2D(normals, vec2(0.5)) * amount + texture2D(cascade, vec2(0.5)); }\n";

}  // namespace

TEST(SemanticTables, EveryNameIsUniqueAndLooksUpExactlyItsOwnId)
{
    std::set<std::string> names;
    for (int32_t id = 0; id < UNIFORM_SEMANTIC_COUNT; ++id) {
        const std::string name = uniformSemanticName(id);
        EXPECT_TRUE(names.insert(name).second) << name << " stands twice in the list";
        EXPECT_EQ(findUniformSemantic(name), id) << name;
        // Names are compared whole and case-sensitively.
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(findUniformSemantic(lower), SemanticNone) << lower;
        EXPECT_EQ(findUniformSemantic(name + "_"), SemanticNone) << name;
    }
    EXPECT_EQ(uniformSemanticName(UNIFORM_SEMANTIC_COUNT), nullptr);
    EXPECT_EQ(uniformSemanticName(-1), nullptr);
    EXPECT_EQ(findUniformSemantic(""), SemanticNone);
    for (int32_t id = 0; id < VERTEX_ATTRIBUTE_SEMANTIC_COUNT; ++id) {
        const std::string name = attributeSemanticName(id);
        EXPECT_TRUE(names.insert(name).second) << name << " is both an attribute and a uniform";
        EXPECT_EQ(findAttributeSemantic(name), id) << name;
        EXPECT_EQ(findUniformSemantic(name), SemanticNone) << name;
    }
    EXPECT_EQ(findAttributeSemantic("VERTEX_COLOR"), SemanticNone);
}

namespace {

// The GLSL type of `variable` where the code declares it on its own ("uniform TYPE NAME;" or an
// array of them); empty where it does not.
std::string declaredType(const std::string& code, const std::string& variable)
{
    const auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (size_t at = code.find("uniform"); at != std::string::npos; at = code.find("uniform", at + 1)) {
        size_t i = at + std::string("uniform").size();
        const auto skipSpace = [&] {
            const size_t start = i;
            while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i])))
                ++i;
            return i > start;
        };
        if (!skipSpace())
            continue;
        const size_t typeStart = i;
        while (i < code.size() && word(code[i]))
            ++i;
        const std::string type = code.substr(typeStart, i - typeStart);
        if (type.empty() || !skipSpace() || code.compare(i, variable.size(), variable) != 0)
            continue;
        i += variable.size();
        skipSpace();
        if (i < code.size() && (code[i] == ';' || code[i] == '['))
            return type;
    }
    return {};
}

}  // namespace

// The shaders are the independent answer to which semantics need a texture unit: every uniform
// the engine's and the materials' shader files bind to a semantic is declared there with its GLSL
// type, and a sampler semantic must be bound to a sampler, any other to a value.
TEST(SemanticTables, SamplerSemanticsAreTheOnesTheShadersDeclareAsSamplers)
{
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("resources/shaders")) {
        if (entry.path().extension() != ".shader")
            continue;
        const ShaderSource source = loadShaderSource(entry.path().generic_string());
        std::string code;
        for (const std::string& piece : source.sources)
            code += piece;
        for (const auto& [variable, semanticName] : source.semantics) {
            const int32_t semantic = findUniformSemantic(semanticName);
            if (semantic == SemanticNone)
                continue;
            const std::string type = declaredType(code, variable);
            if (type.empty())
                continue;  // declared in a list or not used by this file's code
            const bool sampler = type.rfind("sampler", 0) == 0;
            EXPECT_EQ(isSamplerSemantic(semantic), sampler)
                << source.path << ": " << variable << " (" << type << ") bound to " << semanticName;
            ++checked;
        }
    }
    // The engine's programs alone bind well over a hundred uniforms.
    EXPECT_GT(checked, 100);
    EXPECT_FALSE(isSamplerSemantic(SemanticNone));
}

TEST(SemanticTables, VertexLayoutIsFiftySixBytesInterleaved)
{
    const int32_t offsets[] = {0, 12, 24, 36, 48};
    const int32_t components[] = {3, 3, 3, 3, 2};
    for (int32_t i = 0; i < VertexLayoutEntryCount; ++i) {
        EXPECT_EQ(vertexLayout()[i].semantic, i);
        EXPECT_EQ(vertexLayout()[i].offset, offsets[i]);
        EXPECT_EQ(vertexLayout()[i].components, components[i]);
    }
    EXPECT_EQ(vertexLayout()[4].offset + 2 * 4, VertexStride);
    EXPECT_EQ(findVertexLayoutEntry(SemanticNone), nullptr);
}

TEST(UniformBindingRules, SamplersGetDenseUnitsAndTheFloatNone)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string fragment = writeShader(
        dir, "f.shader", samplersFragment,
        {{"normals", "GBUFFER_NORMAL_TEXTURE"}, {"amount", "ELAPSED_TIME"}, {"cascade", "CASCADED_SHADOW_MAP0"}});
    ShaderProgram* program = getProgram(vertex, fragment);
    ASSERT_EQ(program->uniformBindings.size(), 3u);
    RecordingSource source;
    applyPassUniforms(nullptr, nullptr, &source, *program, nullptr);
    Texture* normals = source.textures[GBUFFER_NORMAL_TEXTURE].get();
    Texture* cascade = source.textures[CASCADED_SHADOW_MAP0].get();
    ASSERT_TRUE(normals && cascade);
    EXPECT_EQ(source.unitOf.size(), 2u);
    EXPECT_EQ(uniformInt(*program, "normals"), source.unitOf[normals]);
    EXPECT_EQ(uniformInt(*program, "cascade"), source.unitOf[cascade]);
    EXPECT_NE(source.unitOf[normals], source.unitOf[cascade]);
    EXPECT_LE(std::max(source.unitOf[normals], source.unitOf[cascade]), 1);
    // Units follow the driver's order of the uniforms.
    int expectedUnit = 0;
    for (const UniformBinding& binding : program->uniformBindings)
        if (binding.name != "amount") {
            EXPECT_EQ(uniformInt(*program, binding.name), expectedUnit++);
        }
    GLfloat amount = 0;
    Orvanta::glGetUniformfvARB(program->program, findBinding(*program, "amount")->location, &amount);
    EXPECT_FLOAT_EQ(amount, 0.75f);
    EXPECT_EQ(checkGlErrors("dense units"), 0);
}

TEST(UniformBindingRules, EveryProgramStartsAtUnitZero)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string one = writeShader(
        dir, "one.shader",
        "#version 120\nuniform sampler2D a;\nvoid main() { gl_FragColor = texture2D(a, vec2(0.0)); }\n",
        {{"a", "SSAO_TEXTURE"}});
    std::string two = writeShader(
        dir, "two.shader",
        "#version 120\nuniform sampler2D b;\nvoid main() { gl_FragColor = texture2D(b, vec2(0.0)); }\n",
        {{"b", "LIGHT_MASK_TEXTURE"}});
    RecordingSource source;
    ShaderProgram* first = getProgram(vertex, one);
    ShaderProgram* second = getProgram(vertex, two);
    applyPassUniforms(nullptr, nullptr, &source, *first, nullptr);
    applyPassUniforms(nullptr, nullptr, &source, *second, nullptr);
    EXPECT_EQ(source.unitOf[source.textures[SSAO_TEXTURE].get()], 0);
    EXPECT_EQ(source.unitOf[source.textures[LIGHT_MASK_TEXTURE].get()], 0);
}

TEST(UniformBindingRules, SamplerWithoutATextureTakesNoUnit)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string fragment = writeShader(
        dir, "f.shader",
        "#version 120\nuniform sampler2D a;\nuniform sampler2D b;\n"
        "void main() { gl_FragColor = texture2D(a, vec2(0.0)) + texture2D(b, vec2(0.0)); }\n",
        {{"a", "SHADOW_MAP_NX"}, {"b", "SSAO_TEXTURE"}});
    ShaderProgram* program = getProgram(vertex, fragment);
    RecordingSource source;
    applyPassUniforms(nullptr, nullptr, &source, *program, nullptr);
    ASSERT_EQ(source.unitOf.size(), 1u);
    EXPECT_EQ(source.unitOf.begin()->second, 0);
    EXPECT_EQ(uniformInt(*program, "b"), 0);
}

TEST(UniformBindingRules, BuiltInsUnpairedAndUnknownNamesAreNotFed)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(
        dir, "v.shader",
        "#version 120\nuniform float unpaired;\nuniform float misspelt;\n"
        "void main() { gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex * unpaired * misspelt; }\n",
        {{"misspelt", "ELAPSED_TIM"}});
    ShaderProgram* program = getVertexProgram(vertex);
    ASSERT_EQ(program->uniformBindings.size(), 2u);
    for (const UniformBinding& binding : program->uniformBindings) {
        EXPECT_NE(binding.name.compare(0, 3, "gl_"), 0);
        EXPECT_EQ(binding.semantic, SemanticNone);
    }
    RecordingSource source;
    applyPassUniforms(nullptr, nullptr, &source, *program, nullptr);
    EXPECT_TRUE(source.valuesSet.empty());
}

TEST(UniformBindingRules, FirstPairNamingAVariableWinsAcrossStages)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(
        dir, "v.shader",
        "#version 120\nuniform float shared;\n"
        "void main() { gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex * shared; }\n",
        {{"shared", "SSAO_DISTANCE"}, {"shared", "SSAO_INTENSITY"}});
    std::string fragment = writeShader(
        dir, "f.shader", "#version 120\nuniform float shared;\nvoid main() { gl_FragColor = vec4(shared); }\n",
        {{"shared", "ELAPSED_TIME"}});
    ShaderProgram* program = getProgram(vertex, fragment);
    const UniformBinding* binding = findBinding(*program, "shared");
    ASSERT_TRUE(binding);
    EXPECT_EQ(binding->semantic, SSAO_DISTANCE);
}

TEST(UniformBindingRules, ArrayUniformsMatchWithOrWithoutTheIndex)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string fragment = writeShader(
        dir, "f.shader",
        "#version 120\nuniform vec2 taps[4];\nuniform float weights[3];\n"
        "void main() { gl_FragColor = vec4(taps[3], weights[2], 1.0); }\n",
        {{"taps", "SSAO_SAMPLING_VECTORS"}, {"weights[0]", "SSAO_GAUSSIAN_BLUR_COEFFICIENTS"}});
    ShaderProgram* program = getProgram(vertex, fragment);
    ASSERT_EQ(program->uniformBindings.size(), 2u);
    for (const UniformBinding& binding : program->uniformBindings) {
        if (binding.name.find("taps") == 0)
            EXPECT_EQ(binding.semantic, SSAO_SAMPLING_VECTORS);
        else
            EXPECT_EQ(binding.semantic, SSAO_GAUSSIAN_BLUR_COEFFICIENTS);
    }
}

TEST(UniformBindingRules, ObjectTransformIsSetOnlyPerInstance)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(
        dir, "v.shader",
        "#version 120\nuniform mat4 world;\nuniform float t;\n"
        "void main() { gl_Position = gl_ModelViewProjectionMatrix * world * gl_Vertex * t; }\n",
        {{"world", "OBJECT_TRANSFORM_MATRIX"}, {"t", "ELAPSED_TIME"}});
    ShaderProgram* program = getVertexProgram(vertex);
    RecordingSource source;
    applyPassUniforms(nullptr, nullptr, &source, *program, nullptr);
    EXPECT_EQ(source.valuesSet, (std::vector<UniformSemantic>{ELAPSED_TIME}));
    const UniformBinding* world = findBinding(*program, "world");
    ASSERT_TRUE(world);
    Matrix4 transform;
    transform.m[12] = 5.0f;
    transform.m[1] = 2.0f;
    applyInstanceUniforms(*program, transform);
    GLfloat read[16] = {};
    Orvanta::glGetUniformfvARB(program->program, world->location, read);
    EXPECT_FLOAT_EQ(read[12], 5.0f);
    EXPECT_FLOAT_EQ(read[1], 2.0f);
    EXPECT_FLOAT_EQ(read[4], 0.0f);
    // A second pass set-up leaves the instance transform alone.
    applyPassUniforms(nullptr, nullptr, &source, *program, nullptr);
    Orvanta::glGetUniformfvARB(program->program, world->location, read);
    EXPECT_FLOAT_EQ(read[12], 5.0f);
}

TEST(UniformBindingRules, MaterialValuesNeedNoRenderer)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string fragment = writeShader(
        dir, "f.shader",
        "#version 120\nuniform sampler2D color;\nuniform float power;\nuniform float threshold;\n"
        "void main() { gl_FragColor = texture2D(color, vec2(0.0)) * power * threshold; }\n",
        {{"color", "MATERIAL_COLOR_TEXTURE"},
         {"power", "MATERIAL_SPECULAR_POWER"},
         {"threshold", "MATERIAL_ALPHA_TEST_TRESHOLD"}});
    ShaderProgram* program = getProgram(vertex, fragment);
    Material material;
    material.alphaTestTreshold = 0.4f;
    Texture2D color;
    SubmeshMaterial submesh;
    submesh.material = &material;
    submesh.colorTexture = &color;
    submesh.specularPower = 32.0f;
    applyPassUniforms(nullptr, &submesh, nullptr, *program, nullptr);
    GLfloat value = 0;
    Orvanta::glGetUniformfvARB(program->program, findBinding(*program, "power")->location, &value);
    EXPECT_FLOAT_EQ(value, 32.0f);
    Orvanta::glGetUniformfvARB(program->program, findBinding(*program, "threshold")->location, &value);
    EXPECT_FLOAT_EQ(value, 0.4f);
    Orvanta::glActiveTextureARB(GL_TEXTURE0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), color.name);
}

TEST(VertexAttributeRules, AttributesReadTheSharedLayout)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("semantics");
    std::string vertex = writeShader(dir, "v.shader",
                                     "#version 120\nattribute vec2 uv;\nattribute vec3 normal;\nattribute vec3 other;\n"
                                     "void main() { gl_Position = gl_Vertex + 0.001 * (vec4(uv, normal.x, other.y) + "
                                     "gl_Color + gl_MultiTexCoord0); }\n",
                                     {{"uv", "VERTEX_TEXCOORD"}, {"normal", "VERTEX_NORMAL"}});
    ShaderProgram* program = getVertexProgram(vertex);
    std::map<std::string, AttributeBinding> byName;
    for (const AttributeBinding& binding : program->attributeBindings)
        byName[binding.name] = binding;
    ASSERT_TRUE(byName.count("gl_Vertex"));
    EXPECT_EQ(byName["gl_Vertex"].kind, FixedFunctionArray);
    EXPECT_EQ(byName["gl_Vertex"].semantic, VERTEX_POSITION);
    EXPECT_EQ(byName["gl_MultiTexCoord0"].kind, TexCoordArray);
    EXPECT_FALSE(byName.count("gl_Color"));
    EXPECT_EQ(byName["other"].semantic, SemanticNone);

    GLuint buffer = 0;
    Orvanta::glGenBuffersARB(1, &buffer);
    std::vector<float> vertices(14 * 3, 0.0f);
    Orvanta::glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    Orvanta::glBufferDataARB(GL_ARRAY_BUFFER_ARB, vertices.size() * sizeof(float), vertices.data(), GL_STATIC_DRAW_ARB);
    enableVertexAttributes(buffer, *program);
    GLuint uv = static_cast<GLuint>(byName["uv"].location);
    GLint size = 0, stride = 0, enabled = 0;
    Orvanta::glGetVertexAttribivARB(uv, GL_VERTEX_ATTRIB_ARRAY_SIZE_ARB, &size);
    Orvanta::glGetVertexAttribivARB(uv, GL_VERTEX_ATTRIB_ARRAY_STRIDE_ARB, &stride);
    Orvanta::glGetVertexAttribivARB(uv, GL_VERTEX_ATTRIB_ARRAY_ENABLED_ARB, &enabled);
    void* pointer = nullptr;
    Orvanta::glGetVertexAttribPointervARB(uv, GL_VERTEX_ATTRIB_ARRAY_POINTER_ARB, &pointer);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(stride, 56);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pointer), 48u);
    GLuint normal = static_cast<GLuint>(byName["normal"].location);
    Orvanta::glGetVertexAttribPointervARB(normal, GL_VERTEX_ATTRIB_ARRAY_POINTER_ARB, &pointer);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pointer), 12u);
    GLint other = 0;
    Orvanta::glGetVertexAttribivARB(static_cast<GLuint>(byName["other"].location), GL_VERTEX_ATTRIB_ARRAY_ENABLED_ARB,
                                    &other);
    EXPECT_EQ(other, 0);
    Orvanta::glClientActiveTextureARB(GL_TEXTURE0);
    GLint texCoordSize = 0;
    glGetIntegerv(GL_TEXTURE_COORD_ARRAY_SIZE, &texCoordSize);
    EXPECT_EQ(texCoordSize, 2);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    glDrawArrays(GL_TRIANGLES, 0, 3);

    disableVertexAttributes(*program);
    Orvanta::glGetVertexAttribivARB(uv, GL_VERTEX_ATTRIB_ARRAY_ENABLED_ARB, &enabled);
    EXPECT_EQ(enabled, 0);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint boundBuffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &boundBuffer);
    EXPECT_EQ(boundBuffer, 0);
    Orvanta::glDeleteBuffersARB(1, &buffer);
    EXPECT_EQ(checkGlErrors("vertex attributes"), 0);
}
