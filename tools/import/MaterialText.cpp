#include "MaterialText.h"

#include <cstdio>

namespace Orvanta {

namespace {

// The forward-lit program of transparent surfaces that the engine ships.
constexpr const char* kTransparentVertexShader = "resources/shaders/materials/transparentVertex.shader";
constexpr const char* kTransparentFragmentShader = "resources/shaders/materials/transparentFragment.shader";
// Uniform of the transparent fragment program that samples the colour, and the texture's name.
constexpr const char* kTransparentColorUniform = "colorMap";
constexpr const char* kColorTextureName = "color";

TextNode value(const std::string& name, const std::string& text)
{
    TextNode node;
    node.kind = TextNode::Value;
    node.name = name;
    node.value = text;
    return node;
}

TextNode block(const std::string& name, std::vector<TextNode> children)
{
    TextNode node;
    node.kind = TextNode::Block;
    node.name = name;
    node.children = std::move(children);
    return node;
}

std::string number(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

}  // namespace

TextNode materialTree(const MaterialSettings& settings)
{
    TextNode root = block("material", {});
    if (settings.doubleSided)
        root.children.push_back(value("isDoubleSided", "true"));
    if (settings.transparent) {
        root.children.push_back(value("isTransparent", "true"));
        root.children.push_back(
            block("texture", {value("name", kColorTextureName), value("fileName", settings.transparentTexturePath)}));
        root.children.push_back(
            block("pass", {value("type", "TRANSPARENCY"), value("vertexShader", kTransparentVertexShader),
                           value("fragmentShader", kTransparentFragmentShader),
                           block("semantics", {value(kTransparentColorUniform, kColorTextureName)})}));
        return root;
    }
    if (settings.alphaTested) {
        root.children.push_back(value("isAlphaTested", "true"));
        root.children.push_back(value("alphaTestTreshold", number(settings.alphaTestThreshold)));
    }
    root.children.push_back(block("pass", {value("type", "DEFERRED_WRITE"), value("useDefaultPass", "true")}));
    return root;
}

}  // namespace Orvanta
