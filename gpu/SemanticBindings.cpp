#include "gpu/Semantics.h"
#include "platform/gl/GlExtensions.h"

#include <algorithm>

namespace Orvanta {

namespace {

// Drivers report an array uniform as "name" or as "name[0]"; either spelling matches the other.
std::string withoutFirstIndex(const std::string& name)
{
    const std::string suffix = "[0]";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return name.substr(0, name.size() - suffix.size());
    return name;
}

const SemanticPair* findPair(const std::vector<SemanticPair>& pairs, const std::string& name)
{
    std::string bare = withoutFirstIndex(name);
    for (const SemanticPair& pair : pairs)
        if (pair.first == name || withoutFirstIndex(pair.first) == bare)
            return &pair;
    return nullptr;
}

bool isBuiltIn(const std::string& name)
{
    return name.compare(0, 3, "gl_") == 0;
}

// Reads the name of active attribute or uniform `index` into a string of the reported length.
template <typename Fetch>
std::string activeName(GLint maxLength, Fetch fetch)
{
    std::vector<GLcharARB> buffer(static_cast<size_t>(std::max<GLint>(maxLength, 1)) + 1, '\0');
    GLsizei length = 0;
    fetch(static_cast<GLsizei>(buffer.size()), &length, buffer.data());
    length = std::clamp<GLsizei>(length, 0, static_cast<GLsizei>(buffer.size()) - 1);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

void buildBindings(ShaderProgram& program, const std::vector<SemanticPair>& pairs)
{
    program.attributeBindings.clear();
    program.uniformBindings.clear();
    GLhandleARB handle = program.program;

    GLint attributeCount = 0;
    GLint attributeMaxLength = 0;
    glGetObjectParameterivARB(handle, GL_OBJECT_ACTIVE_ATTRIBUTES_ARB, &attributeCount);
    glGetObjectParameterivARB(handle, GL_OBJECT_ACTIVE_ATTRIBUTE_MAX_LENGTH_ARB, &attributeMaxLength);
    for (GLint index = 0; index < attributeCount; ++index) {
        std::string name = activeName(attributeMaxLength, [&](GLsizei size, GLsizei* length, GLcharARB* out) {
            GLint arraySize = 0;
            GLenum type = 0;
            glGetActiveAttribARB(handle, static_cast<GLuint>(index), size, length, &arraySize, &type, out);
        });
        AttributeBinding binding;
        binding.name = name;
        if (isBuiltIn(name)) {
            if (name == "gl_Vertex") {
                binding.location = 0;
                binding.semantic = VERTEX_POSITION;
                binding.kind = FixedFunctionArray;
            } else if (name == "gl_MultiTexCoord0") {
                binding.location = 0;
                binding.semantic = VERTEX_TEXCOORD;
                binding.kind = TexCoordArray;
            } else {
                continue;
            }
        } else {
            binding.location = glGetAttribLocationARB(handle, name.c_str());
            const SemanticPair* pair = findPair(pairs, name);
            binding.semantic = pair ? findAttributeSemantic(pair->second) : SemanticNone;
            binding.kind = GenericAttribute;
        }
        program.attributeBindings.push_back(binding);
    }

    GLint uniformCount = 0;
    GLint uniformMaxLength = 0;
    glGetObjectParameterivARB(handle, GL_OBJECT_ACTIVE_UNIFORMS_ARB, &uniformCount);
    glGetObjectParameterivARB(handle, GL_OBJECT_ACTIVE_UNIFORM_MAX_LENGTH_ARB, &uniformMaxLength);
    for (GLint index = 0; index < uniformCount; ++index) {
        std::string name = activeName(uniformMaxLength, [&](GLsizei size, GLsizei* length, GLcharARB* out) {
            GLint arraySize = 0;
            GLenum type = 0;
            glGetActiveUniformARB(handle, static_cast<GLuint>(index), size, length, &arraySize, &type, out);
        });
        if (isBuiltIn(name))
            continue;
        UniformBinding binding;
        binding.name = name;
        binding.location = glGetUniformLocationARB(handle, name.c_str());
        const SemanticPair* pair = findPair(pairs, name);
        binding.semantic = pair ? findUniformSemantic(pair->second) : SemanticNone;
        program.uniformBindings.push_back(binding);
    }
}

}  // namespace Orvanta
