#include "gpu/Material.h"

#include "gpu/ResourceCache.h"
#include "gpu/Semantics.h"
#include "gpu/Texture.h"
#include "platform/FileAccess.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "scene/LightType.h"

namespace Orvanta {

const MaterialPass* findLightPass(const Material& material, int32_t lightType)
{
    for (const auto& pass : material.passes)
        if (pass->type == PassTypeLight && pass->lightType == lightType)
            return pass.get();
    return nullptr;
}

namespace {

using TextureTable = std::vector<std::pair<std::string, Texture2D*>>;

Texture2D* loadTexture(const MaterialTextureRecord& record)
{
    if (record.refused)
        return whiteTexture();
    return record.fileName.empty() ? nullptr : getTexture(record.fileName, false);
}

// Marks the uniforms named in a pass "semantics" block as MATERIAL_TEXTURE and lists their
// textures in binding order. A name with no usable texture still takes its slot (with the white
// stand-in), so the uniforms after it keep their own textures.
void resolvePassTextures(const std::string& path, const MaterialPassStep& link, const TextureTable& table,
                         MaterialPass& pass)
{
    for (UniformBinding& binding : pass.program.uniformBindings) {
        const std::pair<std::string, std::string>* named = nullptr;
        for (const auto& pair : link.textureUniforms)
            if (pair.first == binding.name) {
                named = &pair;
                break;
            }
        if (!named)
            continue;
        binding.semantic = MATERIAL_TEXTURE;
        Texture2D* texture = nullptr;
        bool declared = false;
        for (const auto& entry : table)
            if (entry.first == named->second) {
                texture = entry.second;
                declared = true;
                break;
            }
        if (!texture) {
            logError(path + ": uniform \"" + binding.name + "\" names texture \"" + named->second + "\", which " +
                     (declared ? "has no fileName" : "is not declared before the pass") + "; it gets a white texture");
            texture = whiteTexture();
        }
        pass.textures.push_back(texture);
    }
}

// Builds one pass's program step by step, in the order its keys stand in the file.
std::unique_ptr<MaterialPass> buildPass(const std::string& path, const MaterialPassRecord& record,
                                        const TextureTable& table)
{
    auto pass = std::make_unique<MaterialPass>();
    pass->type = record.type;
    pass->lightType = record.lightType;
    pass->useDefaultPass = record.useDefaultPass;
    createProgramObject(pass->program);
    std::vector<SemanticPair> pairs;
    for (const MaterialPassStep& step : record.steps) {
        if (step.kind == MaterialPassStep::Link) {
            linkProgram(pass->program, pairs);
            if (step.fromSemanticsBlock)
                resolvePassTextures(path, step, table, *pass);
            continue;
        }
        // A refused path attaches a shader without code, as a missing file does.
        ShaderSource source;
        source.path = step.shaderPath;
        if (!step.shaderPath.empty())
            source = loadShaderSource(step.shaderPath);
        if (step.kind == MaterialPassStep::VertexShader)
            attachVertexShader(pass->program, source);
        else
            attachFragmentShader(pass->program, source);
        pairs.insert(pairs.end(), source.semantics.begin(), source.semantics.end());
    }
    return pass;
}

void addPass(Material& material, std::unique_ptr<MaterialPass> pass)
{
    MaterialPass* added = pass.get();
    material.passes.push_back(std::move(pass));
    switch (added->type) {
    case PassTypeDeferredWrite:
        material.deferredWritePass = added;
        break;
    case PassTypeSky:
        material.skyPass = added;
        break;
    case PassTypeRaycasting:
        material.raycastingPass = added;
        break;
    case PassTypeRaytraced:
        material.raytracedPass = added;
        break;
    case PassTypeTransparency:
        material.transparencyPass = added;
        break;
    default:
        break;
    }
}

}  // namespace

std::unique_ptr<Material> loadMaterial(const std::string& path)
{
    auto material = std::make_unique<Material>();
    MaterialFileData file;
    std::vector<std::string> problems;
    const bool read = readMaterialFile(path, file, problems);
    for (const std::string& problem : problems)
        logError(problem);
    if (!read)
        return material;
    material->isDoubleSided = file.isDoubleSided;
    material->castShadows = file.castShadows;
    material->isTransparent = file.isTransparent;
    material->isAlphaTested = file.isAlphaTested;
    material->alphaTestTreshold = file.alphaTestTreshold;
    material->optics = file.optics;
    // Textures load in file order, each before the passes that stand after it.
    TextureTable textures;
    for (const MaterialPassRecord& record : file.passes) {
        while (textures.size() < record.texturesDeclared) {
            const MaterialTextureRecord& texture = file.textures[textures.size()];
            textures.emplace_back(texture.name, loadTexture(texture));
        }
        addPass(*material, buildPass(path, record, textures));
    }
    while (textures.size() < file.textures.size()) {
        const MaterialTextureRecord& texture = file.textures[textures.size()];
        textures.emplace_back(texture.name, loadTexture(texture));
    }
    return material;
}

Material* getMaterial(const std::string& path)
{
    ResourceCache& cache = resourceCache();
    if (Material* found = cache.materials.find(path))
        return found;
    Material* material = nullptr;
    if (staysInContentRoots(path)) {
        material = loadMaterial(path).release();
    } else {
        logError(path + ": the path climbs out of the content folders with \"..\"; the material keeps its "
                        "defaults");
        material = new Material();
    }
    cache.materials.append(path, material);
    return material;
}

}  // namespace Orvanta
