#include "gpu/ShaderSource.h"

#include "gpu/TextParser.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"

#include <algorithm>
#include <memory>

namespace Orvanta {

namespace {

// Bounds on what one shader's includes may expand to. Shaders include a handful of files a few
// levels deep; without a bound, files that include the next one twice expand exponentially even
// without a cycle (24 levels are 16 million reads).
constexpr size_t kMaxIncludeDepth = 16;
constexpr size_t kMaxIncludedFiles = 256;
constexpr size_t kMaxShaderSourceBytes = size_t(4) << 20;

// The state of reading one shader file with all its includes.
struct IncludeWalk {
    std::vector<std::string> stack;  // files being read, outermost first
    size_t filesRead = 0;
    size_t sourceBytes = 0;
    std::string overflow;  // set when a bound was crossed; the whole source is then refused
};

void readShaderFile(const std::string& path, IncludeWalk& walk, ShaderSource& out)
{
    out.path = path;
    std::string problem;
    std::unique_ptr<TextNode> root = parseFile(path, problem);
    ++walk.filesRead;
    if (!root) {
        logError("shader file " + path + ": " + problem + "; it contributes no code");
        return;
    }
    if (root->kind != TextNode::Block || root->name != "shader") {
        logError("shader file " + path + ": the root block is \"" + root->name +
                 "\", not \"shader\"; it contributes no code");
        return;
    }
    if (!problem.empty())
        logError("shader file " + path + ": " + problem);
    walk.stack.push_back(path);
    for (const TextNode& child : root->children) {
        if (!walk.overflow.empty())
            break;
        if (child.kind == TextNode::Block && child.name == "includes") {
            for (const TextNode& file : child.children) {
                if (file.kind != TextNode::Value || file.name != "file")
                    continue;
                if (!staysInContentRoots(file.value)) {
                    logError("shader file " + path + ": include of " + file.value +
                             " refused, its path climbs out of the content folders with \"..\"");
                    continue;
                }
                if (std::find(walk.stack.begin(), walk.stack.end(), file.value) != walk.stack.end()) {
                    logError("shader file " + path + ": include of " + file.value +
                             " refused, it is already being included");
                    continue;
                }
                if (walk.stack.size() >= kMaxIncludeDepth) {
                    walk.overflow = "includes are nested deeper than " + std::to_string(kMaxIncludeDepth) +
                                    " files (at " + file.value + ")";
                    break;
                }
                if (walk.filesRead >= kMaxIncludedFiles) {
                    walk.overflow = "its includes expand to more than " + std::to_string(kMaxIncludedFiles) +
                                    " file reads (a file included many times over?)";
                    break;
                }
                ShaderSource included;
                readShaderFile(file.value, walk, included);
                out.sources.insert(out.sources.end(), included.sources.begin(), included.sources.end());
                out.semantics.insert(out.semantics.end(), included.semantics.begin(), included.semantics.end());
            }
        } else if (child.kind == TextNode::Value && child.name == "code") {
            out.code = child.value;
        } else if (child.kind == TextNode::Block && child.name == "semantics") {
            for (const TextNode& pair : child.children)
                if (pair.kind == TextNode::Value)
                    out.semantics.emplace_back(pair.name, pair.value);
        }
    }
    walk.stack.pop_back();
    out.sources.push_back(out.code);
    walk.sourceBytes += out.code.size();
    if (walk.overflow.empty() && walk.sourceBytes > kMaxShaderSourceBytes)
        walk.overflow = "its code with includes is larger than " + std::to_string(kMaxShaderSourceBytes) + " bytes";
}

}  // namespace

ShaderSource loadShaderSource(const std::string& path)
{
    IncludeWalk walk;
    ShaderSource source;
    readShaderFile(path, walk, source);
    if (!walk.overflow.empty()) {
        logError("shader file " + path + ": " + walk.overflow + "; the shader is left without code");
        source = ShaderSource();
        source.path = path;
    }
    return source;
}

}  // namespace Orvanta
