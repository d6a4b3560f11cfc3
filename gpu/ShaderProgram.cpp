#include "gpu/ShaderProgram.h"

#include "gpu/ResourceCache.h"
#include "gpu/Semantics.h"
#include "platform/FileAccess.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

#include <algorithm>
#include <set>

namespace Orvanta {

namespace {

std::string infoLog(GLhandleARB object)
{
    GLint length = 0;
    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 0)
        return std::string();
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    glGetInfoLogARB(object, length, &written, log.data());
    log.resize(static_cast<size_t>(std::max<GLsizei>(written, 0)));
    return log;
}

// The driver's log, or what is known without it: drivers give an empty log for a shader without
// any code, which is what a missing or unreadable shader file leaves.
std::string compileFailureReason(const ShaderSource& source, const std::string& log)
{
    size_t codeBytes = 0;
    for (const std::string& piece : source.sources)
        codeBytes += piece.find_first_not_of(" \t\r\n") == std::string::npos ? 0 : piece.size();
    if (codeBytes == 0)
        return "the shader has no code (see the messages about its file above)";
    if (log.find_first_not_of(" \t\r\n") == std::string::npos)
        return "the driver gave no log (" + std::to_string(source.sources.size()) + " pieces, " +
               std::to_string(codeBytes) + " bytes of code)";
    return log;
}

std::string joinPaths(const std::vector<std::string>& paths)
{
    std::string joined;
    for (const std::string& p : paths)
        joined += (joined.empty() ? "" : ", ") + p;
    return joined;
}

std::string& dumpFolder()
{
    static std::string folder;
    return folder;
}

// The dumped file of a shader source: the path flattened into one name, the stage as the
// extension offline compilers infer the stage from.
std::string dumpName(const std::string& path, GLenum stage)
{
    std::string name;
    for (char c : path)
        name += c == '/' ? std::string("__") : std::string(1, c);
    return name + (stage == GL_VERTEX_SHADER_ARB ? ".vert" : ".frag");
}

void writeDumpFile(const std::string& name, const std::string& text)
{
    std::string error;
    if (!writeFileAtomically(dumpFolder() + "/" + name, std::vector<uint8_t>(text.begin(), text.end()), error))
        logError("cannot write the shader dump: " + error);
}

void dumpShader(const ShaderSource& source, GLenum stage, std::string& dumpedName)
{
    std::string text;
    for (const std::string& piece : source.sources)
        text += piece;
    dumpedName = dumpName(source.path.empty() ? "unnamed" : source.path, stage);
    writeDumpFile(dumpedName, text);
}

// Appends a linked program's line to programs.txt; each distinct pair once.
void dumpProgram(const ShaderProgram& program)
{
    static std::set<std::string> written;
    static std::string list;
    const std::string line = (program.vertexDumpName.empty() ? "-" : program.vertexDumpName) + " " +
                             (program.fragmentDumpName.empty() ? "-" : program.fragmentDumpName) + "\n";
    if (!written.insert(line).second)
        return;
    list += line;
    writeDumpFile("programs.txt", list);
}

void attachShader(ShaderProgram& program, const ShaderSource& source, GLenum stage)
{
    if (!dumpFolder().empty())
        dumpShader(source, stage, stage == GL_VERTEX_SHADER_ARB ? program.vertexDumpName : program.fragmentDumpName);
    GLhandleARB shader = glCreateShaderObjectARB(stage);
    std::vector<const GLcharARB*> pieces;
    for (const std::string& piece : source.sources)
        pieces.push_back(piece.c_str());
    glShaderSourceARB(shader, static_cast<GLsizei>(pieces.size()), pieces.data(), nullptr);
    glCompileShaderARB(shader);
    glAttachObjectARB(program.program, shader);
    if (stage == GL_VERTEX_SHADER_ARB)
        program.vertexShader = shader;
    else
        program.fragmentShader = shader;
    program.sourcePaths.push_back(source.path);
    if (glDebugEnabled()) {
        GLint compiled = 0;
        glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
        if (!compiled)
            logError(std::string(stage == GL_VERTEX_SHADER_ARB ? "vertex" : "fragment") + " shader " + source.path +
                     " failed to compile: " + compileFailureReason(source, infoLog(shader)));
    }
}

ShaderProgram* buildProgram(const std::string& key, const ShaderSource* vertex, const ShaderSource* fragment)
{
    auto* program = new ShaderProgram();
    createProgramObject(*program);
    std::vector<SemanticPair> pairs;
    if (vertex) {
        attachVertexShader(*program, *vertex);
        pairs.insert(pairs.end(), vertex->semantics.begin(), vertex->semantics.end());
    }
    if (fragment) {
        attachFragmentShader(*program, *fragment);
        pairs.insert(pairs.end(), fragment->semantics.begin(), fragment->semantics.end());
    }
    linkProgram(*program, pairs);
    resourceCache().programs.append(key, program);
    return program;
}

}  // namespace

void createProgramObject(ShaderProgram& program)
{
    program.program = glCreateProgramObjectARB();
}

void attachVertexShader(ShaderProgram& program, const ShaderSource& source)
{
    attachShader(program, source, GL_VERTEX_SHADER_ARB);
}

void attachFragmentShader(ShaderProgram& program, const ShaderSource& source)
{
    attachShader(program, source, GL_FRAGMENT_SHADER_ARB);
}

void linkProgram(ShaderProgram& program, const std::vector<SemanticPair>& pairs)
{
    glLinkProgramARB(program.program);
    glUseProgramObjectARB(program.program);
    if (glDebugEnabled()) {
        GLint linked = 0;
        glGetObjectParameterivARB(program.program, GL_OBJECT_LINK_STATUS_ARB, &linked);
        if (!linked)
            logError("shader program of " + joinPaths(program.sourcePaths) +
                     " failed to link: " + infoLog(program.program));
        checkGlErrors("linking a shader program");
    }
    buildBindings(program, pairs);
    if (!dumpFolder().empty())
        dumpProgram(program);
}

void setShaderDumpFolder(const std::string& folder)
{
    dumpFolder() = folder;
}

ShaderProgram* getProgram(const std::string& vertexPath, const std::string& fragmentPath)
{
    std::string key = vertexPath + fragmentPath;
    if (ShaderProgram* found = resourceCache().programs.find(key))
        return found;
    ShaderSource vertex = loadShaderSource(vertexPath);
    ShaderSource fragment = loadShaderSource(fragmentPath);
    return buildProgram(key, &vertex, &fragment);
}

ShaderProgram* getVertexProgram(const std::string& path)
{
    if (ShaderProgram* found = resourceCache().programs.find(path))
        return found;
    ShaderSource vertex = loadShaderSource(path);
    return buildProgram(path, &vertex, nullptr);
}

ShaderProgram* getFragmentProgram(const std::string& path)
{
    if (ShaderProgram* found = resourceCache().programs.find(path))
        return found;
    ShaderSource fragment = loadShaderSource(path);
    return buildProgram(path, nullptr, &fragment);
}

}  // namespace Orvanta
