#include "gpu/Material.h"

#include "gpu/ResourceCache.h"
#include "gpu/Semantics.h"
#include "gpu/TextParser.h"
#include "gpu/Texture.h"
#include "platform/Log.h"
#include "scene/LightType.h"

#include <cstdlib>
#include <cstdio>

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

void readFlag(const std::string& value, bool& flag)
{
    if (value == "true")
        flag = true;
    else if (value == "false")
        flag = false;
}

void resolveSemantics(MaterialPass& pass, const TextNode& block, const TextureTable& textures,
                      const std::string& path)
{
    for (UniformBinding& binding : pass.program.uniformBindings) {
        for (const TextNode& child : block.children) {
            if (child.name != binding.name)
                continue;
            binding.semantic = MATERIAL_TEXTURE;
            Texture2D* texture = nullptr;
            for (const auto& entry : textures)
                if (entry.first == child.value) {
                    texture = entry.second;
                    break;
                }
            if (!texture)
                logError("material " + path + ": texture \"" + child.value + "\" is not declared before the pass");
            // A null entry keeps the slot, so the other MATERIAL_TEXTURE uniforms keep their textures.
            pass.textures.push_back(texture);
            break;
        }
    }
}

std::unique_ptr<MaterialPass> readPass(const TextNode& block, const TextureTable& textures, const std::string& path)
{
    auto pass = std::make_unique<MaterialPass>();
    createProgramObject(pass->program);
    std::vector<SemanticPair> pairs;
    bool linked = false;
    for (const TextNode& child : block.children) {
        if (child.kind == TextNode::Value && child.name == "type") {
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
        } else if (child.kind == TextNode::Value && child.name == "useDefaultPass") {
            readFlag(child.value, pass->useDefaultPass);
        } else if (child.kind == TextNode::Value && (child.name == "vertexShader" || child.name == "fragmentShader")) {
            if (linked)
                continue;  // a shader attached after the link would not be part of the program
            ShaderSource source = loadShaderSource(child.value);
            if (child.name == "vertexShader")
                attachVertexShader(pass->program, source);
            else
                attachFragmentShader(pass->program, source);
            pairs.insert(pairs.end(), source.semantics.begin(), source.semantics.end());
        } else if (child.kind == TextNode::Block && child.name == "semantics") {
            if (linked) {
                logError("material " + path + ": a pass holds a second \"semantics\" block; it is ignored");
                continue;
            }
            linkProgram(pass->program, pairs);
            resolveSemantics(*pass, child, textures, path);
            linked = true;
        }
    }
    if (!linked)
        linkProgram(pass->program, pairs);
    return pass;
}

}  // namespace

std::unique_ptr<Material> loadMaterial(const std::string& path)
{
    auto material = std::make_unique<Material>();
    std::unique_ptr<TextNode> root = parseFile(path);
    if (!root || root->kind != TextNode::Block || root->name != "material") {
        FILE* probe = std::fopen(path.c_str(), "rb");
        if (probe) {
            std::fclose(probe);
            logError("material " + path + ": no \"material\" block; using the defaults");
        } else {
            logError("material " + path + ": cannot be opened; using the defaults");
        }
        return material;
    }
    TextureTable textures;
    for (const TextNode& child : root->children) {
        if (child.kind == TextNode::Value) {
            if (child.name == "isDoubleSided")
                readFlag(child.value, material->isDoubleSided);
            else if (child.name == "castShadows")
                readFlag(child.value, material->castShadows);
            else if (child.name == "isTransparent")
                readFlag(child.value, material->isTransparent);
            else if (child.name == "isAlphaTested")
                readFlag(child.value, material->isAlphaTested);
            else if (child.name == "alphaTestTreshold")
                material->alphaTestTreshold = static_cast<float>(std::atof(child.value.c_str()));
        } else if (child.name == "texture") {
            std::string name;
            Texture2D* texture = nullptr;
            for (const TextNode& entry : child.children) {
                if (entry.kind != TextNode::Value)
                    continue;
                if (entry.name == "name")
                    name = entry.value;
                else if (entry.name == "fileName")
                    texture = getTexture(entry.value, false);
            }
            if (!texture)
                logError("material " + path + ": texture \"" + name + "\" has no fileName");
            textures.emplace_back(name, texture);
        } else if (child.name == "pass") {
            std::unique_ptr<MaterialPass> pass = readPass(child, textures, path);
            if (pass->type == PassTypeNone) {
                logError("material " + path + ": a pass without a valid type is ignored");
                continue;
            }
            if (pass->type == PassTypeLight && pass->lightType == LightTypeNone) {
                logError("material " + path + ": a LIGHT pass without a valid lightType is ignored");
                continue;
            }
            MaterialPass* added = pass.get();
            material->passes.push_back(std::move(pass));
            switch (added->type) {
            case PassTypeDeferredWrite: material->deferredWritePass = added; break;
            case PassTypeSky: material->skyPass = added; break;
            case PassTypeRaycasting: material->raycastingPass = added; break;
            case PassTypeRaytraced: material->raytracedPass = added; break;
            case PassTypeTransparency: material->transparencyPass = added; break;
            default: break;
            }
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
