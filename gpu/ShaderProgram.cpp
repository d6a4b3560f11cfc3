#include "gpu/ShaderProgram.h"

#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "gpu/ResourceCache.h"
#include "gpu/Semantics.h"
#include "gpu/TextParser.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstdio>

namespace Orvanta {

namespace {

void readShaderFile(const std::string& path, std::vector<std::string>& includeStack, ShaderSource& out)
{
    out.path = path;
    std::unique_ptr<TextNode> root = parseFile(path);
    if (!root) {
        if (FILE* probe = std::fopen(path.c_str(), "rb"))
            std::fclose(probe);
        else
            logError("shader file " + path + ": cannot be opened");
    }
    if (root && (root->kind != TextNode::Block || root->name != "shader")) {
        logError("shader file " + path + ": the root block is not \"shader\"");
        root.reset();
    }
    if (root) {
        includeStack.push_back(path);
        for (const TextNode& child : root->children) {
            if (child.kind == TextNode::Block && child.name == "includes") {
                for (const TextNode& file : child.children) {
                    if (file.kind != TextNode::Value || file.name != "file")
                        continue;
                    if (std::find(includeStack.begin(), includeStack.end(), file.value) != includeStack.end()) {
                        logError("shader file " + path + ": include of " + file.value +
                                 " refused, it is already being included");
                        continue;
                    }
                    ShaderSource included;
                    readShaderFile(file.value, includeStack, included);
                    out.sources.insert(out.sources.end(), included.sources.begin(), included.sources.end());
                    out.semantics.insert(out.semantics.end(), included.semantics.begin(),
                                         included.semantics.end());
                }
            } else if (child.kind == TextNode::Value && child.name == "code") {
                out.code = child.value;
            } else if (child.kind == TextNode::Block && child.name == "semantics") {
                for (const TextNode& pair : child.children)
                    if (pair.kind == TextNode::Value)
                        out.semantics.emplace_back(pair.name, pair.value);
            }
        }
        includeStack.pop_back();
        out.sources.push_back(out.code);
    }
}

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

std::string joinPaths(const std::vector<std::string>& paths)
{
    std::string joined;
    for (const std::string& p : paths)
        joined += (joined.empty() ? "" : ", ") + p;
    return joined;
}

void attachShader(ShaderProgram& program, const ShaderSource& source, GLenum stage)
{
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
            logError(std::string(stage == GL_VERTEX_SHADER_ARB ? "vertex" : "fragment") + " shader " +
                     source.path + " failed to compile: " + infoLog(shader));
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

ShaderSource loadShaderSource(const std::string& path)
{
    std::vector<std::string> includeStack;
    ShaderSource source;
    readShaderFile(path, includeStack, source);
    return source;
}

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
