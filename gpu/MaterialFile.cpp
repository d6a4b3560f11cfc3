#include "gpu/MaterialFile.h"

#include "gpu/TextParser.h"
#include "platform/FileAccess.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Orvanta {

int32_t findPassType(const std::string& name)
{
    static const char* const names[] = {"LIGHT", "DEFERRED_WRITE", "SKY", "RAYCASTING", "RAYTRACED", "TRANSPARENCY"};
    for (int32_t i = 0; i < 6; ++i)
        if (name == names[i])
            return i;
    return PassTypeNone;
}

int32_t findLightType(const std::string& name)
{
    static const char* const names[] = {"POINT", "AMBIENT", "PROJECTED", "SUN"};
    for (int32_t i = 0; i < 4; ++i)
        if (name == names[i])
            return i;
    return LightTypeNone;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Exactly `count` finite numbers separated by blanks, and nothing else, make up `text`.
bool parseNumbers(const std::string& text, float* values, size_t count)
{
    const char* p = text.c_str();
    const char* const end = p + text.size();  // a value may hold a zero byte: it is not the end
    for (size_t i = 0; i < count; ++i) {
        while (p < end && isBlank(*p))
            ++p;
        char* after = nullptr;
        values[i] = std::strtof(p, &after);
        if (after == p || !std::isfinite(values[i]))
            return false;
        p = after;
        if (p < end && !isBlank(*p))  // "0.5x", or two numbers run together
            return false;
    }
    while (p < end && isBlank(*p))
        ++p;
    return p == end;
}

std::string formatNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(value));
    return text;
}

// Reads one material tree into data, collecting the problems.
class MaterialReader {
public:
    MaterialReader(const std::string& filePath, MaterialFileData& out, std::vector<std::string>& problemList)
        : path(filePath), data(out), problems(problemList)
    {
    }

    bool read(const std::unique_ptr<TextNode>& root, const std::string& parseProblem)
    {
        data = MaterialFileData();
        if (!root) {
            report(parseProblem + "; the material keeps its defaults");
            return false;
        }
        if (root->kind != TextNode::Block || root->name != "material") {
            report("not a material file (it must start with \"material {\"); the material keeps its defaults");
            return false;
        }
        if (!parseProblem.empty())
            report(parseProblem + "; what stands before it is used");
        for (const TextNode& child : root->children) {
            if (child.kind == TextNode::Value) {
                if (child.name == "isDoubleSided")
                    readFlag(child, data.isDoubleSided);
                else if (child.name == "castShadows")
                    readFlag(child, data.castShadows);
                else if (child.name == "isTransparent")
                    readFlag(child, data.isTransparent);
                else if (child.name == "isAlphaTested")
                    readFlag(child, data.isAlphaTested);
                else if (child.name == "alphaTestTreshold")
                    readThreshold(child);
                else if (child.name == "reflectance")
                    readNumber(child, data.optics.reflectance, 0.0f, 1.0f, "from 0 to 1");
                else if (child.name == "reflectionTint")
                    readColor(child, data.optics.reflectionTint);
                else if (child.name == "indexOfRefraction")
                    readNumber(child, data.optics.indexOfRefraction, 1.0f, FLT_MAX, "of at least 1");
                else if (child.name == "isThin")
                    readFlag(child, data.optics.isThin);
                else if (child.name == "transmissionColor")
                    readColor(child, data.optics.transmissionColor);
            } else if (child.name == "texture") {
                readTexture(child);
            } else if (child.name == "pass") {
                readPass(child);
            }
        }
        return true;
    }

private:
    void report(const std::string& problem) { problems.push_back(path + ": " + problem); }

    bool refusedPath(const std::string& key, const std::string& value)
    {
        if (staysInContentRoots(value))
            return false;
        report(key + " " + value + " refused, its path climbs out of the content folders with \"..\"");
        return true;
    }

    // "true" sets the flag, "false" clears it; any other word leaves it as it was.
    void readFlag(const TextNode& node, bool& flag)
    {
        if (node.value == "true")
            flag = true;
        else if (node.value == "false")
            flag = false;
        else
            report(node.name + " = \"" + node.value + "\" is neither true nor false; it stays " +
                   (flag ? "true" : "false"));
    }

    // The C library's conversion (leading number, 0 when there is none). A value that is not a
    // finite number leaves the threshold as it was: NaN would fail every alpha comparison.
    void readThreshold(const TextNode& node)
    {
        char* end = nullptr;
        const float value = std::strtof(node.value.c_str(), &end);
        if (!std::isfinite(value)) {
            report("alphaTestTreshold = \"" + node.value + "\" is not a finite number; it stays " +
                   std::to_string(data.alphaTestTreshold));
            return;
        }
        if (end == node.value.c_str())
            report("alphaTestTreshold = \"" + node.value + "\" is not a number; 0 is used");
        data.alphaTestTreshold = value;
    }

    // One finite number within [low, high], the whole value; anything else leaves the field as it
    // was. Stricter than alphaTestTreshold's C conversion: these keys are new, so no file relies on
    // a trailing word being ignored.
    void readNumber(const TextNode& node, float& field, float low, float high, const char* range)
    {
        float value = 0.0f;
        if (parseNumbers(node.value, &value, 1) && value >= low && value <= high) {
            field = value;
            return;
        }
        report(node.name + " = \"" + node.value + "\" is not a number " + range + "; it stays " + formatNumber(field));
    }

    // A colour: three numbers from 0 to 1 in one quoted value, separated by blanks.
    void readColor(const TextNode& node, Float3& field)
    {
        float rgb[3] = {};
        const auto inRange = [](float c) { return c >= 0.0f && c <= 1.0f; };
        if (parseNumbers(node.value, rgb, 3) && std::all_of(rgb, rgb + 3, inRange)) {
            field = {rgb[0], rgb[1], rgb[2]};
            return;
        }
        report(node.name + " = \"" + node.value +
               "\" is not three numbers from 0 to 1 in quotes, separated by blanks; it stays \"" +
               formatNumber(field.x) + " " + formatNumber(field.y) + " " + formatNumber(field.z) + "\"");
    }

    void readTexture(const TextNode& block)
    {
        MaterialTextureRecord texture;
        for (const TextNode& child : block.children) {
            if (child.kind != TextNode::Value)
                continue;
            if (child.name == "name") {
                texture.name = child.value;
            } else if (child.name == "fileName") {
                // A later fileName replaces an earlier one.
                texture.refused = refusedPath("texture file", child.value);
                texture.fileName = texture.refused ? std::string() : child.value;
            }
        }
        data.textures.push_back(texture);
    }

    void readPass(const TextNode& block)
    {
        MaterialPassRecord pass;
        pass.texturesDeclared = data.textures.size();
        bool linked = false;
        for (const TextNode& child : block.children) {
            const bool isValue = child.kind == TextNode::Value;
            if (isValue && child.name == "type") {
                const int32_t type = findPassType(child.value);
                if (type != PassTypeNone)
                    pass.type = type;
                // "lightType" may stand before or after "type": the first one counts.
                if (pass.type == PassTypeLight)
                    for (const TextNode& other : block.children)
                        if (other.kind == TextNode::Value && other.name == "lightType") {
                            const int32_t lightType = findLightType(other.value);
                            if (lightType != LightTypeNone)
                                pass.lightType = lightType;
                            break;
                        }
            } else if (isValue && child.name == "useDefaultPass") {
                readFlag(child, pass.useDefaultPass);
            } else if (isValue && (child.name == "vertexShader" || child.name == "fragmentShader")) {
                if (linked) {
                    report(child.name + " \"" + child.value +
                           "\" stands after the pass's semantics block and is not part of its program");
                    continue;
                }
                MaterialPassStep step;
                step.kind = child.name == "vertexShader" ? MaterialPassStep::VertexShader
                                                         : MaterialPassStep::FragmentShader;
                if (!refusedPath(child.name, child.value))
                    step.shaderPath = child.value;
                pass.steps.push_back(step);
            } else if (child.kind == TextNode::Block && child.name == "semantics") {
                if (linked) {
                    report("a pass has a second semantics block; it is ignored");
                    continue;
                }
                MaterialPassStep link;
                link.fromSemanticsBlock = true;
                for (const TextNode& pair : child.children)
                    if (pair.kind == TextNode::Value)
                        link.textureUniforms.emplace_back(pair.name, pair.value);
                pass.steps.push_back(link);
                linked = true;
            }
        }
        if (!linked)
            pass.steps.push_back(MaterialPassStep());
        if (pass.type == PassTypeNone) {
            report("a pass without a known type (LIGHT, DEFERRED_WRITE, SKY, RAYCASTING, RAYTRACED, TRANSPARENCY) is "
                   "left out");
            return;
        }
        if (pass.type == PassTypeLight && pass.lightType == LightTypeNone) {
            report("a LIGHT pass without a known lightType (POINT, AMBIENT, PROJECTED, SUN) is left out");
            return;
        }
        data.passes.push_back(std::move(pass));
    }

    const std::string& path;
    MaterialFileData& data;
    std::vector<std::string>& problems;
};

}  // namespace

bool readMaterialFile(const std::string& path, MaterialFileData& data, std::vector<std::string>& problems)
{
    std::string problem;
    std::unique_ptr<TextNode> root = parseFile(path, problem);
    return MaterialReader(path, data, problems).read(root, problem);
}

bool parseMaterialText(const std::string& name, const std::string& text, MaterialFileData& data,
                       std::vector<std::string>& problems)
{
    std::string problem;
    std::unique_ptr<TextNode> root = parseText(text, problem);
    return MaterialReader(name, data, problems).read(root, problem);
}

}  // namespace Orvanta
