#include "MaterialText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Orvanta {

namespace {

// The forward-lit program of transparent surfaces that the engine ships.
constexpr const char* kTransparentVertexShader = "resources/shaders/materials/transparentVertex.shader";
constexpr const char* kTransparentFragmentShader = "resources/shaders/materials/transparentFragment.shader";
// Uniform of the transparent fragment program that samples the colour, and the texture's name.
constexpr const char* kTransparentColorUniform = "colorMap";
constexpr const char* kColorTextureName = "color";
// The programs of the ray-traced mirror: the ray-casting output that tells the tracer which
// pixels to trace, and the composite that adds the traced reflection and transmission.
constexpr const char* kRaycastingVertexShader = "resources/shaders/materials/raycastingVertex.shader";
constexpr const char* kRaycastingFragmentShader = "resources/shaders/materials/raycastingFragment.shader";
constexpr const char* kRaytracedVertexShader = "resources/shaders/materials/raytracedVertex.shader";
constexpr const char* kRaytracedFragmentShader = "resources/shaders/materials/raytracedCompositeFragment.shader";

// Where the source's factors divide mirrors from the rest (glTF factors run from 0 to 1).
constexpr float kMinMetallic = 0.5f;
constexpr float kMaxMirrorRoughness = 0.3f;
constexpr float kMinTransmission = 0.5f;
// Refraction index when the source gives none (common glass), and the most kept (above diamond's
// 2.42 nothing real is met; a huge value would only come from a broken file).
constexpr float kDefaultRefractiveIndex = 1.5f;
constexpr float kMaxRefractiveIndex = 4.0f;

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

std::string colorText(Float3 c)
{
    return number(c.x) + " " + number(c.y) + " " + number(c.z);
}

float unit(float v)
{
    return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f;
}

}  // namespace

MirrorKind mirrorOptics(const ImportedMaterial& m, const float meanColor[3], MaterialOptics& optics)
{
    optics = MaterialOptics{};
    const Float3 color{unit(meanColor[0]), unit(meanColor[1]), unit(meanColor[2])};
    const bool refracts = m.refractiveIndex > 1.0f;
    if (m.transmission > kMinTransmission || (m.baseColor[3] < 1.0f && refracts)) {
        const float n = refracts ? std::min(m.refractiveIndex, kMaxRefractiveIndex) : kDefaultRefractiveIndex;
        const float r = (n - 1.0f) / (n + 1.0f);
        optics.reflectance = r * r;
        optics.indexOfRefraction = n;
        optics.isThin = !(m.volumeThickness > 0.0f);
        const float passing = m.transmission > kMinTransmission ? std::min(m.transmission, 1.0f) : 1.0f;
        optics.transmissionColor = {unit(m.baseColor[0]) * passing, unit(m.baseColor[1]) * passing,
                                    unit(m.baseColor[2]) * passing};
        return MirrorKind::Glass;
    }
    const float brightest = std::max({color.x, color.y, color.z});
    if (m.metallic >= kMinMetallic && m.roughness <= kMaxMirrorRoughness && brightest > 0.0f) {
        optics.reflectance = brightest;
        optics.reflectionTint = {color.x / brightest, color.y / brightest, color.z / brightest};
        return MirrorKind::Metal;
    }
    return MirrorKind::None;
}

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
    const MaterialOptics& optics = settings.optics;
    if (settings.mirror != MirrorKind::None) {
        root.children.push_back(value("reflectance", number(optics.reflectance)));
        if (settings.mirror == MirrorKind::Metal) {
            root.children.push_back(value("reflectionTint", colorText(optics.reflectionTint)));
        } else {
            root.children.push_back(value("indexOfRefraction", number(optics.indexOfRefraction)));
            root.children.push_back(value("isThin", optics.isThin ? "true" : "false"));
            root.children.push_back(value("transmissionColor", colorText(optics.transmissionColor)));
        }
    }
    root.children.push_back(block("pass", {value("type", "DEFERRED_WRITE"), value("useDefaultPass", "true")}));
    if (settings.mirror != MirrorKind::None) {
        root.children.push_back(
            block("pass", {value("type", "RAYCASTING"), value("vertexShader", kRaycastingVertexShader),
                           value("fragmentShader", kRaycastingFragmentShader)}));
        root.children.push_back(
            block("pass", {value("type", "RAYTRACED"), value("vertexShader", kRaytracedVertexShader),
                           value("fragmentShader", kRaytracedFragmentShader)}));
    }
    return root;
}

}  // namespace Orvanta
