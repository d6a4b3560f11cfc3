#include "SceneAssembly.h"

#include "MaterialText.h"
#include "NodePlacement.h"
#include "TextureConversion.h"

#include "content/ObjectFile.h"
#include "content/SceneFile.h"
#include "scene/SrgbCurve.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <set>

namespace Orvanta {

namespace {

// The most an object file addresses: 32-bit vertex indices.
constexpr uint64_t kMaxObjectVertices = uint64_t(1) << 32;
constexpr uint64_t kMaxObjectIndices = uint64_t(1) << 32;

std::string hexFloat(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%a", double(v));
    return text;
}

std::string sourceKey(const TextureSource& source)
{
    return source.embedded >= 0 ? "*" + std::to_string(source.embedded) : source.file;
}

// The stem a texture file is named after: the source file's own stem, or the embedded image's label.
std::string textureStem(const TextureSource& source)
{
    std::string label = source.embedded >= 0 ? source.label : std::filesystem::path(source.file).stem().string();
    if (!label.empty() && label[0] == '*')
        label = "embedded" + label.substr(1);
    return label;
}

// The mean linear colour of an image's texels.
void meanLinearColor(const DecodedImage& image, float mean[3])
{
    double sum[3] = {0, 0, 0};
    const size_t texels = size_t(image.width) * image.height;
    for (size_t i = 0; i < texels; ++i)
        for (int c = 0; c < 3; ++c)
            sum[c] += srgbByteToLinear(image.rgba[i * 4 + c]);
    for (int c = 0; c < 3; ++c)
        mean[c] = texels ? float(sum[c] / double(texels)) : 1.0f;
}

// FNV-1a over every byte given, 64 bits.
class ContentHash {
public:
    void add(const void* data, size_t size)
    {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            value = (value ^ bytes[i]) * 0x100000001b3ull;
    }
    void add(const std::string& text) { add(text.data(), text.size() + 1); }
    std::string hex() const
    {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
        return text;
    }

private:
    uint64_t value = 0xcbf29ce484222325ull;
};

// Names already given in one folder; compared without case so that the output also works on
// file systems that ignore it.
class NameSet {
public:
    std::string unique(const std::string& stem)
    {
        std::string name = stem;
        for (int n = 2; !taken.insert(lower(name)).second; ++n)
            name = stem + "-" + std::to_string(n);
        return name;
    }

private:
    static std::string lower(std::string s)
    {
        for (char& c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    std::set<std::string> taken;
};

struct MaterialFiles {
    std::string stem;                                          // file stem under materials/
    std::string colorTexture, normalTexture, specularTexture;  // file names under textures/, or empty
    float specularPower = 16.0f;
};

class Assembler {
public:
    Assembler(const ImportedModel& m, const AssemblySettings& s, ImportNotes& n, ImportFiles& f, ImportSummary& sum)
        : model(m), settings(s), notes(n), files(f), summary(sum), materialFiles(m.materials.size())
    {
    }

    bool run(std::string& error);

private:
    bool placeNodes(std::string& error);
    std::optional<size_t> objectFor(const ImportedNode& node, const NodePlacement& placement, std::string& error);
    bool buildObject(const std::vector<uint32_t>& meshes, const NodePlacement* baked, const std::string& stem,
                     std::string& error);
    bool material(uint32_t index, std::string& error);
    bool colorTexture(const ImportedMaterial& m, const std::string& materialStem, bool needed, std::string& file,
                      std::string& error);
    bool dataTexture(const TextureSource& source, bool normalMap, const char* fallback, std::string& file,
                     std::string& error);
    const DecodedImage* decoded(const TextureSource& source, const char* fallback);
    bool addTexture(const std::string& key, const std::string& stem, const DecodedImage& image, bool withAlpha,
                    std::string& file, std::string& error);
    void extendBox(const ObjectFileData& object, const SceneInstanceRecord& record);
    void finishScene();

    const ImportedModel& model;
    const AssemblySettings& settings;
    ImportNotes& notes;
    ImportFiles& files;
    ImportSummary& summary;

    std::vector<std::optional<MaterialFiles>> materialFiles;
    NameSet objectNames, materialNames, textureNames;
    std::map<std::string, std::string> textureByKey;
    std::map<std::string, DecodedImage> decodedImages;
    std::set<std::string> unreadable;
    std::map<std::vector<uint32_t>, size_t> objectByMeshes;
    std::vector<ObjectFileData> objects;
    std::vector<std::string> objectFileNames;
    SceneFileData scene;
    bool boxStarted = false;
};

bool Assembler::run(std::string& error)
{
    summary = ImportSummary{};
    summary.sourceMeshes = model.meshes.size();
    if (!placeNodes(error))
        return false;
    if (scene.instances.empty()) {
        error = "the model places no triangle meshes";
        return false;
    }
    finishScene();
    return true;
}

bool Assembler::placeNodes(std::string& error)
{
    for (const ImportedNode& node : model.nodes) {
        if (node.meshes.empty())
            continue;
        const NodePlacement placement = placeNode(multiply(settings.root, node.world));
        const std::optional<size_t> object = objectFor(node, placement, error);
        if (!object)
            return false;
        SceneInstanceRecord record;
        record.position = placement.position;
        if (!placement.baked) {
            record.orientation = placement.orientation;
            record.scale = placement.scale;
        }
        record.objectName = "objects/" + objectFileNames[*object];
        extendBox(objects[*object], record);
        summary.placedTriangles += objects[*object].triangleCount();
        scene.instances.push_back(record);
    }
    summary.instances = scene.instances.size();
    return true;
}

std::optional<size_t> Assembler::objectFor(const ImportedNode& node, const NodePlacement& placement, std::string& error)
{
    const std::string meshStem = safeStem(model.meshes[node.meshes[0]].name, "mesh");
    if (placement.baked) {
        // A shearing or mirroring transform is the node's own: its copy is never shared.
        if (!buildObject(node.meshes, &placement, meshStem + "-" + safeStem(node.name, "node"), error))
            return std::nullopt;
        ++summary.bakedCopies;
        return objects.size() - 1;
    }
    auto found = objectByMeshes.find(node.meshes);
    if (found != objectByMeshes.end())
        return found->second;
    if (!buildObject(node.meshes, nullptr, meshStem, error))
        return std::nullopt;
    objectByMeshes[node.meshes] = objects.size() - 1;
    return objects.size() - 1;
}

bool Assembler::buildObject(const std::vector<uint32_t>& meshes, const NodePlacement* baked, const std::string& stem,
                            std::string& error)
{
    // Submeshes by material, in the order the materials first appear.
    std::vector<uint32_t> materialOrder;
    for (uint32_t m : meshes)
        if (std::find(materialOrder.begin(), materialOrder.end(), model.meshes[m].material) == materialOrder.end())
            materialOrder.push_back(model.meshes[m].material);

    uint64_t vertexTotal = 0, indexTotal = 0;
    for (uint32_t m : meshes) {
        vertexTotal += model.meshes[m].vertices.size();
        indexTotal += model.meshes[m].indices.size();
    }
    if (vertexTotal > kMaxObjectVertices || indexTotal > kMaxObjectIndices) {
        error = "mesh '" + model.meshes[meshes[0]].name + "' has " + std::to_string(vertexTotal) + " vertices and " +
                std::to_string(indexTotal) + " indices; an object file addresses at most 2^32 of each";
        return false;
    }

    ObjectFileData data;
    data.header = "imported from " + settings.modelLabel + ", mesh " + model.meshes[meshes[0]].name;
    data.vertices.reserve(vertexTotal);
    data.indices.reserve(indexTotal);
    for (uint32_t materialIndex : materialOrder) {
        if (!material(materialIndex, error))
            return false;
        const uint32_t firstTriangle = data.triangleCount();
        for (uint32_t m : meshes) {
            const ImportedMesh& mesh = model.meshes[m];
            if (mesh.material != materialIndex)
                continue;
            const uint32_t base = uint32_t(data.vertices.size());
            data.vertices.insert(data.vertices.end(), mesh.vertices.begin(), mesh.vertices.end());
            for (uint32_t index : mesh.indices)
                data.indices.push_back(base + index);
        }
        const MaterialFiles& files = *materialFiles[materialIndex];
        const std::string prefix = settings.resourcePrefix;
        SubmeshRecord record;
        record.materialName = prefix + "materials/" + files.stem;
        record.colorTextureName = files.colorTexture.empty() ? "" : prefix + "textures/" + files.colorTexture;
        record.normalTextureName = files.normalTexture.empty() ? "" : prefix + "textures/" + files.normalTexture;
        record.specularTextureName = files.specularTexture.empty() ? "" : prefix + "textures/" + files.specularTexture;
        record.specularPower = files.specularPower;
        record.firstTriangle = firstTriangle;
        record.lastTriangle = data.triangleCount() - 1;
        data.submeshes.push_back(record);
    }
    if (baked)
        bakeLinearTransform(baked->linear, data.vertices, data.indices);

    data.minCorner = data.maxCorner = data.vertices.empty() ? Float3{} : data.vertices[0].position;
    for (const ObjectVertex& v : data.vertices) {
        const Float3 p = v.position;
        data.minCorner = minComponents(data.minCorner, p);
        data.maxCorner = maxComponents(data.maxCorner, p);
    }
    const std::string fileName = objectNames.unique(stem) + ".object";
    files["objects/" + fileName] = encodeObjectFile(data);
    summary.objectTriangles += data.triangleCount();
    ++summary.objects;
    objectFileNames.push_back(fileName);
    objects.push_back(std::move(data));
    return true;
}

bool Assembler::material(uint32_t index, std::string& error)
{
    if (materialFiles[index])
        return true;
    const ImportedMaterial& m = model.materials[index];
    MaterialFiles out;
    out.stem = materialNames.unique(safeStem(m.name, "material" + std::to_string(index)));
    out.specularPower = m.specularPower;

    MaterialSettings text;
    text.doubleSided = m.doubleSided;
    text.transparent = m.alphaMode == AlphaMode::Blend;
    text.alphaTested = m.alphaMode == AlphaMode::Mask;
    text.alphaTestThreshold = m.alphaCutoff;
    float meanColor[3] = {1.0f, 1.0f, 1.0f};
    if (const DecodedImage* image = m.colorTexture.present() ? decoded(m.colorTexture, "white used") : nullptr)
        meanLinearColor(*image, meanColor);
    for (int c = 0; c < 3; ++c)
        meanColor[c] *= m.baseColor[c];
    text.mirror = mirrorOptics(m, meanColor, text.optics);
    // Glass shows what lies behind it through the traced transmission, drawn as an opaque surface.
    if (text.mirror == MirrorKind::Glass)
        text.transparent = false;
    // The transparency pass reads its colour from a texture only, so a blended material always
    // gets one.
    if (!colorTexture(m, out.stem, text.transparent, out.colorTexture, error) ||
        !dataTexture(m.normalTexture, true, "flat normals used", out.normalTexture, error) ||
        !dataTexture(m.specularTexture, false, "the default specular level used", out.specularTexture, error))
        return false;
    if (text.transparent)
        text.transparentTexturePath = "resources/textures/" + settings.resourcePrefix + "textures/" + out.colorTexture;

    std::string formatted;
    if (!formatText(materialTree(text), formatted, error)) {
        error = "material '" + m.name + "': " + error;
        return false;
    }
    files["materials/" + out.stem + ".material"] = std::vector<uint8_t>(formatted.begin(), formatted.end());
    ++summary.materials;
    summary.alphaTested += text.alphaTested;
    summary.transparent += text.transparent;
    summary.doubleSided += text.doubleSided;
    summary.metal += text.mirror == MirrorKind::Metal;
    summary.glass += text.mirror == MirrorKind::Glass;
    materialFiles[index] = out;
    return true;
}

const DecodedImage* Assembler::decoded(const TextureSource& source, const char* fallback)
{
    const std::string key = sourceKey(source);
    auto found = decodedImages.find(key);
    if (found != decodedImages.end())
        return &found->second;
    if (unreadable.count(key))
        return nullptr;
    DecodedImage image;
    std::string reason;
    if (!decodeTexture(source, model, image, reason)) {
        unreadable.insert(key);
        const std::string name = source.file.empty() ? "embedded image '" + source.label + "'" : source.file;
        notes.note("texture " + name + " cannot be read: " + reason + "; " + fallback);
        return nullptr;
    }
    return &decodedImages.emplace(key, std::move(image)).first->second;
}

bool Assembler::addTexture(const std::string& key, const std::string& stem, const DecodedImage& image, bool withAlpha,
                           std::string& file, std::string& error)
{
    file = textureNames.unique(safeStem(stem, "texture")) + ".tga";
    std::vector<uint8_t> bytes;
    if (!encodeTextureFile(file, image, withAlpha, bytes, error))
        return false;
    files["textures/" + file] = std::move(bytes);
    textureByKey[key] = file;
    ++summary.textures;
    return true;
}

bool Assembler::colorTexture(const ImportedMaterial& m, const std::string& materialStem, bool needed, std::string& file,
                             std::string& error)
{
    const DecodedImage* color = m.colorTexture.present() ? decoded(m.colorTexture, "white used") : nullptr;
    const DecodedImage* coverage = m.opacityTexture.present() ? decoded(m.opacityTexture, "fully opaque used")
                                                              : nullptr;
    const float* factor = m.baseColor;
    const bool white = factor[0] == 1.0f && factor[1] == 1.0f && factor[2] == 1.0f && factor[3] == 1.0f;
    file.clear();
    if (!color && !coverage && white && !needed)
        return true;  // the engine's own white stands in

    const std::string key = "color|" + (color ? sourceKey(m.colorTexture) : "") + "|" +
                            (coverage ? sourceKey(m.opacityTexture) : "") + "|" + hexFloat(factor[0]) + "," +
                            hexFloat(factor[1]) + "," + hexFloat(factor[2]) + "," + hexFloat(factor[3]);
    auto found = textureByKey.find(key);
    if (found != textureByKey.end()) {
        file = found->second;
        return true;
    }

    DecodedImage image;
    if (color) {
        image = resampleImage(*color, powerOfTwoSide(color->width), powerOfTwoSide(color->height), true);
    } else {
        const float opaqueWhite[4] = {1, 1, 1, 1};
        image = solidImage(opaqueWhite);
        if (coverage)
            image = resampleImage(image, powerOfTwoSide(coverage->width), powerOfTwoSide(coverage->height), false);
    }
    if (coverage)
        applyCoverage(image, resampleImage(*coverage, image.width, image.height, false));
    applyColorFactor(image, factor);
    const std::string stem = color ? textureStem(m.colorTexture) : materialStem + "Color";
    return addTexture(key, stem, image, hasTransparency(image), file, error);
}

bool Assembler::dataTexture(const TextureSource& source, bool normalMap, const char* fallback, std::string& file,
                            std::string& error)
{
    file.clear();
    if (!source.present())
        return true;
    const std::string key = std::string(normalMap ? "normal|" : "data|") + sourceKey(source);
    auto found = textureByKey.find(key);
    if (found != textureByKey.end()) {
        file = found->second;
        return true;
    }
    const DecodedImage* image = decoded(source, fallback);
    if (!image)
        return true;
    DecodedImage converted = resampleImage(*image, powerOfTwoSide(image->width), powerOfTwoSide(image->height), false);
    if (normalMap)
        invertGreen(converted);
    return addTexture(key, textureStem(source), converted, false, file, error);
}

void Assembler::extendBox(const ObjectFileData& object, const SceneInstanceRecord& record)
{
    const Matrix4 m = composeTransform(record.position, record.orientation, record.scale);
    Float3 lo, hi;
    transformBox(m, object.minCorner, object.maxCorner, lo, hi);
    if (!boxStarted) {
        summary.boxMin = lo;
        summary.boxMax = hi;
        boxStarted = true;
    }
    summary.boxMin = minComponents(summary.boxMin, lo);
    summary.boxMax = maxComponents(summary.boxMax, hi);
}

void Assembler::finishScene()
{
    // The tag covers every other file and the placements: any change in what the scene shows
    // gives a new tag, and with it a new kd-tree.
    ContentHash hash;
    for (const auto& [path, bytes] : files) {
        hash.add(path);
        hash.add(bytes.data(), bytes.size());
    }
    const std::vector<uint8_t> placements = encodeSceneFile(scene);
    hash.add(placements.data(), placements.size());
    scene.sceneTag = kImportedSceneTagPrefix + settings.name + " " + hash.hex();
    summary.sceneTag = scene.sceneTag;
    summary.sceneFile = settings.name + ".scene";
    files[summary.sceneFile] = encodeSceneFile(scene);
}

}  // namespace

std::string safeStem(const std::string& name, const std::string& fallback)
{
    std::string stem;
    for (char c : name) {
        const bool keep = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
        stem.push_back(keep ? c : '_');
        if (stem.size() == 48)
            break;
    }
    // Only underscores left (a name of spaces or dots) says nothing.
    if (stem.find_first_not_of('_') == std::string::npos)
        return fallback;
    return stem;
}

bool assembleImport(const ImportedModel& model, const AssemblySettings& settings, ImportNotes& notes,
                    ImportFiles& files, ImportSummary& summary, std::string& error)
{
    files.clear();
    Assembler assembler(model, settings, notes, files, summary);
    return assembler.run(error);
}

}  // namespace Orvanta
