#pragma once
#include "gpu/ShaderSource.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Orvanta {

enum AttributeKind : int32_t {
    FixedFunctionArray = 0,  // gl_Vertex
    TexCoordArray = 1,       // gl_MultiTexCoord0
    GenericAttribute = 2,
};

// No semantic: the variable is never fed.
constexpr int32_t SemanticNone = -1;

struct UniformBinding {
    std::string name;  // as the driver reports it
    int32_t location = -1;
    int32_t semantic = SemanticNone;  // uniform semantic id
};

struct AttributeBinding {
    std::string name;
    int32_t location = -1;
    int32_t semantic = SemanticNone;  // vertex attribute semantic id
    int32_t kind = GenericAttribute;
};

struct ShaderProgram {
    uint32_t program = 0;
    uint32_t vertexShader = 0;
    uint32_t fragmentShader = 0;
    std::vector<AttributeBinding> attributeBindings;
    std::vector<UniformBinding> uniformBindings;
    // Files whose code went into the shaders, for compile and link messages.
    std::vector<std::string> sourcePaths;
    // The attached shaders' file names in the shader dump (setShaderDumpFolder), when it is on.
    std::string vertexDumpName;
    std::string fragmentDumpName;
};

// Cached programs, built on first request and kept for the life of the process. The two-stage
// key is the vertex path immediately followed by the fragment path.
ShaderProgram* getProgram(const std::string& vertexPath, const std::string& fragmentPath);
ShaderProgram* getVertexProgram(const std::string& path);
ShaderProgram* getFragmentProgram(const std::string& path);

// Creates the GL program object of a program that is built by hand (material passes).
void createProgramObject(ShaderProgram& program);
// Compile all pieces of the source as one shader of that stage and attach it.
void attachVertexShader(ShaderProgram& program, const ShaderSource& source);
void attachFragmentShader(ShaderProgram& program, const ShaderSource& source);
// Links, makes the program current and builds its attribute and uniform bindings from the pairs.
void linkProgram(ShaderProgram& program, const std::vector<SemanticPair>& pairs);

// From now on every shader handed to the driver is also written into `folder`, the pieces joined
// as the driver joins them, so that an offline compiler checks exactly the text the driver
// compiled: <file path with '/' as "__">.vert or .frag, and one line "<vertex> <fragment>" per
// linked program in programs.txt ("-" for a stage the fixed function does). Empty turns it off.
// Files that cannot be written are reported once each through the log.
void setShaderDumpFolder(const std::string& folder);

}  // namespace Orvanta
