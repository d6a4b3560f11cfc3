#include "gpu/Material.h"

#include "platform/gl/GlExtensions.h"
#include "gpu/ResourceCache.h"
#include "gpu/Semantics.h"
#include "gpu/TextParser.h"
#include "gpu/Texture.h"
#include "platform/Log.h"
#include "scene/LightType.h"

#include <cstdio>
#include <cstdlib>

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

const MaterialPass* findLightPass(const Material& material, int32_t lightType)
{
    for (const auto& pass : material.passes)
        if (pass->type == PassTypeLight && pass->lightType == lightType)
            return pass.get();
    return nullptr;
}

namespace {

using TextureTable = std::vector<std::pair<std::string, Texture2D*>>;

void readFlag(const TextNode& node, bool& flag)
{
    if (node.value == "true")
        flag = true;
    else if (node.value == "false")
        flag = false;
}

void readTextureBlock(const TextNode& block, TextureTable& table)
{
    std::string name;
    Texture2D* texture = nullptr;
    for (const TextNode& child : block.children) {
        if (child.kind != TextNode::Value)
            continue;
        if (child.name == "name")
            name = child.value;
        else if (child.name == "fileName")
            texture = getTexture(child.value, false);
    }
    table.emplace_back(name, texture);
}

// Marks the uniforms named in a pass "semantics" block as MATERIAL_TEXTURE and lists their
// textures in binding order. A name with no usable texture still takes its slot (with the white
// stand-in), so the uniforms after it keep their own textures.
void resolvePassTextures(const std::string& path, const TextNode& block, const TextureTable& table,
                         MaterialPass& pass)
{
    for (UniformBinding& binding : pass.program.uniformBindings) {
        const TextNode* named = nullptr;
        for (const TextNode& child : block.children)
            if (child.kind == TextNode::Value && child.name == binding.name) {
                named = &child;
                break;
            }
        if (!named)
            continue;
        binding.semantic = MATERIAL_TEXTURE;
        Texture2D* texture = nullptr;
        bool declared = false;
        for (const auto& entry : table)
            if (entry.first == named->value) {
                texture = entry.second;
                declared = true;
                break;
            }
        if (!texture) {
            logError(path + ": uniform \"" + binding.name + "\" names texture \"" + named->value + "\", which " +
                     (declared ? "has no fileName" : "is not declared before the pass") +
                     "; it gets a white texture");
            texture = whiteTexture();
        }
        pass.textures.push_back(texture);
    }
}

void deleteProgramObjects(ShaderProgram& program)
{
    if (program.vertexShader)
        glDeleteObjectARB(program.vertexShader);
    if (program.fragmentShader)
        glDeleteObjectARB(program.fragmentShader);
    if (program.program)
        glDeleteObjectARB(program.program);
}

// Reads one pass block. Returns null (with a message) for a pass the renderer could never choose.
std::unique_ptr<MaterialPass> readPass(const std::string& path, const TextNode& block, const TextureTable& table)
{
    auto pass = std::make_unique<MaterialPass>();
    createProgramObject(pass->program);
    std::vector<SemanticPair> pairs;
    bool linked = false;
    for (const TextNode& child : block.children) {
        bool isValue = child.kind == TextNode::Value;
        if (isValue && child.name == "type") {
            int32_t type = findPassType(child.value);
            if (type != PassTypeNone)
                pass->type = type;
            if (pass->type == PassTypeLight) {
                for (const TextNode& other : block.children)
                    if (other.kind == TextNode::Value && other.name == "lightType") {
                        int32_t lightType = findLightType(other.value);
                        if (lightType != LightTypeNone)
                            pass->lightType = lightType;
                        break;
                    }
            }
        } else if (isValue && child.name == "useDefaultPass") {
            readFlag(child, pass->useDefaultPass);
        } else if (isValue && (child.name == "vertexShader" || child.name == "fragmentShader")) {
            if (linked) {
                logError(path + ": " + child.name + " \"" + child.value +
                         "\" stands after the pass's semantics block and is not part of its program");
                continue;
            }
            ShaderSource source = loadShaderSource(child.value);
            if (child.name == "vertexShader")
                attachVertexShader(pass->program, source);
            else
                attachFragmentShader(pass->program, source);
            pairs.insert(pairs.end(), source.semantics.begin(), source.semantics.end());
        } else if (child.kind == TextNode::Block && child.name == "semantics") {
            if (linked) {
                logError(path + ": a pass has a second semantics block; it is ignored");
                continue;
            }
            linkProgram(pass->program, pairs);
            resolvePassTextures(path, child, table, *pass);
            linked = true;
        }
    }
    if (!linked)
        linkProgram(pass->program, pairs);
    if (pass->type == PassTypeNone) {
        logError(path + ": a pass without a known type (LIGHT, DEFERRED_WRITE, SKY, RAYCASTING, RAYTRACED, "
                        "TRANSPARENCY) is left out");
        deleteProgramObjects(pass->program);
        return nullptr;
    }
    if (pass->type == PassTypeLight && pass->lightType == LightTypeNone) {
        logError(path + ": a LIGHT pass without a known lightType (POINT, AMBIENT, PROJECTED, SUN) is left out");
        deleteProgramObjects(pass->program);
        return nullptr;
    }
    return pass;
}

void addPass(Material& material, std::unique_ptr<MaterialPass> pass)
{
    MaterialPass* added = pass.get();
    material.passes.push_back(std::move(pass));
    switch (added->type) {
    case PassTypeDeferredWrite: material.deferredWritePass = added; break;
    case PassTypeSky: material.skyPass = added; break;
    case PassTypeRaycasting: material.raycastingPass = added; break;
    case PassTypeRaytraced: material.raytracedPass = added; break;
    case PassTypeTransparency: material.transparencyPass = added; break;
    default: break;
    }
}

}  // namespace

std::unique_ptr<Material> loadMaterial(const std::string& path)
{
    auto material = std::make_unique<Material>();
    std::unique_ptr<TextNode> root = parseFile(path);
    if (!root || root->kind != TextNode::Block || root->name != "material") {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (file) {
            std::fclose(file);
            logError(path + ": not a material file (it must start with \"material {\"); using the defaults");
        } else {
            logError(path + ": cannot open the material file; using the defaults");
        }
        return material;
    }
    TextureTable textures;
    for (const TextNode& child : root->children) {
        if (child.kind == TextNode::Value) {
            if (child.name == "isDoubleSided")
                readFlag(child, material->isDoubleSided);
            else if (child.name == "castShadows")
                readFlag(child, material->castShadows);
            else if (child.name == "isTransparent")
                readFlag(child, material->isTransparent);
            else if (child.name == "isAlphaTested")
                readFlag(child, material->isAlphaTested);
            else if (child.name == "alphaTestTreshold")
                material->alphaTestTreshold = std::strtof(child.value.c_str(), nullptr);
        } else if (child.name == "texture") {
            readTextureBlock(child, textures);
        } else if (child.name == "pass") {
            if (std::unique_ptr<MaterialPass> pass = readPass(path, child, textures))
                addPass(*material, std::move(pass));
        }
    }
    return material;
}

Material* getMaterial(const std::string& path)
{
    ResourceCache& cache = resourceCache();
    if (Material* found = cache.materials.find(path))
        return found;
    Material* material = loadMaterial(path).release();
    cache.materials.append(path, material);
    return material;
}

}  // namespace Orvanta
