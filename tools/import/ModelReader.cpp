#include "ModelReader.h"

#include "DeclaredCounts.h"
#include "MeshRepair.h"

#include "platform/FileAccess.h"

#include <assimp/config.h>
#include <assimp/GltfMaterial.h>
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace Orvanta {

namespace {

namespace fs = std::filesystem;

// Normals computed for meshes without them keep edges sharper than this (degrees) hard, so a
// box stays a box while a sphere is smooth.
constexpr float kSmoothingAngle = 80.0f;
// Specular exponents the engine's lighting handles well.
constexpr float kMinSpecularPower = 1.0f;
constexpr float kMaxSpecularPower = 256.0f;

// Reading: polygons into triangles, points and lines into meshes of their own, checked for
// consistency (indices in range, counts that match) before anything is used.
constexpr unsigned kReadSteps = aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_ValidateDataStructure;
// After the missing texture coordinates are filled in: normals where missing, the engine's
// texture orientation (t = 0 at the image's top row), tangent frames on it, shared vertices.
constexpr unsigned kFinishSteps = aiProcess_GenSmoothNormals | aiProcess_FlipUVs | aiProcess_CalcTangentSpace |
                                  aiProcess_JoinIdenticalVertices;

Float3 toFloat3(const aiVector3D& v)
{
    return {v.x, v.y, v.z};
}

Matrix4 toMatrix(const aiMatrix4x4& a)
{
    // Assimp's matrices are row-major with the translation in the fourth column, the engine's
    // column-major: element (row r, column c) goes to c * 4 + r.
    Matrix4 m;
    const float* rows = &a.a1;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[c * 4 + r] = rows[r * 4 + c];
    return m;
}

std::string listed(const std::vector<std::string>& names)
{
    std::string text;
    for (size_t i = 0; i < names.size() && i < 3; ++i)
        text += (i ? ", '" : "'") + names[i] + "'";
    if (names.size() > 3)
        text += " and " + std::to_string(names.size() - 3) + " more";
    return text;
}

std::string meshName(const aiMesh* mesh, unsigned index)
{
    return mesh->mName.length ? mesh->mName.C_Str() : "mesh" + std::to_string(index);
}

bool isTriangleMesh(const aiMesh* mesh)
{
    // After triangulation and sorting a mesh holds one kind of primitive; other bits (the n-gon
    // encoding flag) say how its triangles were made.
    const unsigned kinds = mesh->mPrimitiveTypes & (aiPrimitiveType_POINT | aiPrimitiveType_LINE |
                                                    aiPrimitiveType_TRIANGLE | aiPrimitiveType_POLYGON);
    return kinds == aiPrimitiveType_TRIANGLE && mesh->mNumFaces > 0;
}

// Decodes %XX escapes, which glTF files use in image URIs.
std::string percentDecoded(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out.push_back(char(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

TextureSource textureSource(const aiScene* scene, const aiMaterial* material, aiTextureType type,
                            const fs::path& modelFolder)
{
    TextureSource source;
    aiString path;
    if (material->GetTextureCount(type) == 0 || material->GetTexture(type, 0, &path) != AI_SUCCESS || path.length == 0)
        return source;
    source.label = path.C_Str();
    if (const aiTexture* embedded = scene->GetEmbeddedTexture(path.C_Str())) {
        for (unsigned i = 0; i < scene->mNumTextures; ++i)
            if (scene->mTextures[i] == embedded)
                source.embedded = int(i);
        return source;
    }
    // Models written on Windows separate folders with backslashes.
    std::string name = source.label;
    std::replace(name.begin(), name.end(), '\\', '/');
    fs::path file = fs::path(name).is_absolute() ? fs::path(name) : modelFolder / name;
    if (!fs::exists(file)) {
        const std::string decoded = percentDecoded(name);
        const fs::path decodedFile = fs::path(decoded).is_absolute() ? fs::path(decoded) : modelFolder / decoded;
        if (fs::exists(decodedFile))
            file = decodedFile;
    }
    source.file = file.lexically_normal().string();
    return source;
}

ImportedMaterial readMaterial(const aiScene* scene, const aiMaterial* m, unsigned index, const fs::path& folder)
{
    ImportedMaterial out;
    aiString name;
    out.name = m->Get(AI_MATKEY_NAME, name) == AI_SUCCESS && name.length ? name.C_Str()
                                                                         : "material" + std::to_string(index);

    aiColor4D color;
    float opacity = 1.0f;
    if (m->Get(AI_MATKEY_BASE_COLOR, color) == AI_SUCCESS) {
        out.baseColor[0] = color.r, out.baseColor[1] = color.g, out.baseColor[2] = color.b, out.baseColor[3] = color.a;
    } else if (m->Get(AI_MATKEY_COLOR_DIFFUSE, color) == AI_SUCCESS) {
        out.baseColor[0] = color.r, out.baseColor[1] = color.g, out.baseColor[2] = color.b;
        if (m->Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS)
            out.baseColor[3] = std::clamp(opacity, 0.0f, 1.0f);
    }

    out.colorTexture = textureSource(scene, m, aiTextureType_BASE_COLOR, folder);
    if (!out.colorTexture.present())
        out.colorTexture = textureSource(scene, m, aiTextureType_DIFFUSE, folder);
    out.normalTexture = textureSource(scene, m, aiTextureType_NORMALS, folder);
    out.specularTexture = textureSource(scene, m, aiTextureType_SPECULAR, folder);
    out.opacityTexture = textureSource(scene, m, aiTextureType_OPACITY, folder);

    // glTF says how its alpha is meant; other formats say it by an opacity map (cut-outs such as
    // leaves) or an opacity below one (glass).
    aiString alphaMode;
    if (m->Get(AI_MATKEY_GLTF_ALPHAMODE, alphaMode) == AI_SUCCESS) {
        const std::string mode = alphaMode.C_Str();
        out.alphaMode = mode == "MASK" ? AlphaMode::Mask : mode == "BLEND" ? AlphaMode::Blend : AlphaMode::Opaque;
        float cutoff = 0.5f;
        if (m->Get(AI_MATKEY_GLTF_ALPHACUTOFF, cutoff) == AI_SUCCESS)
            out.alphaCutoff = cutoff;
    } else if (out.opacityTexture.present()) {
        out.alphaMode = AlphaMode::Mask;
    } else if (out.baseColor[3] < 1.0f) {
        out.alphaMode = AlphaMode::Blend;
    }

    int twoSided = 0;
    out.doubleSided = m->Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS && twoSided != 0;

    // A specular exponent where the source gives one, else one matching the roughness of
    // metallic-roughness materials (the exponent whose highlight is about as wide).
    float shininess = 0.0f, roughness = 0.0f;
    if (m->Get(AI_MATKEY_SHININESS, shininess) == AI_SUCCESS && shininess > 0.0f)
        out.specularPower = std::clamp(shininess, kMinSpecularPower, kMaxSpecularPower);
    else if (m->Get(AI_MATKEY_ROUGHNESS_FACTOR, roughness) == AI_SUCCESS)
        out.specularPower = std::clamp(2.0f / std::max(std::pow(roughness, 4.0f), 1e-4f) - 2.0f, kMinSpecularPower,
                                       kMaxSpecularPower);

    float metallic = 0.0f, transmission = 0.0f, refractiveIndex = 0.0f, thickness = 0.0f;
    if (m->Get(AI_MATKEY_METALLIC_FACTOR, metallic) == AI_SUCCESS)
        out.metallic = metallic;
    if (m->Get(AI_MATKEY_ROUGHNESS_FACTOR, roughness) == AI_SUCCESS)
        out.roughness = roughness;
    if (m->Get(AI_MATKEY_TRANSMISSION_FACTOR, transmission) == AI_SUCCESS)
        out.transmission = transmission;
    if (m->Get(AI_MATKEY_REFRACTI, refractiveIndex) == AI_SUCCESS)
        out.refractiveIndex = refractiveIndex;
    if (m->Get(AI_MATKEY_VOLUME_THICKNESS_FACTOR, thickness) == AI_SUCCESS)
        out.volumeThickness = thickness;
    return out;
}

// Gives every triangle mesh without texture coordinates a planar mapping, so that the tangent
// step has something to follow; returns the names of those meshes.
std::vector<std::string> addPlanarTexCoords(const aiScene* scene)
{
    std::vector<std::string> names;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        aiMesh* mesh = scene->mMeshes[i];
        if (!isTriangleMesh(mesh) || mesh->HasTextureCoords(0))
            continue;
        std::vector<Float3> positions(mesh->mNumVertices);
        for (unsigned v = 0; v < mesh->mNumVertices; ++v)
            positions[v] = toFloat3(mesh->mVertices[v]);
        const auto coords = planarTexCoords(positions);
        // The mesh owns the array and frees it with delete[].
        mesh->mTextureCoords[0] = new aiVector3D[mesh->mNumVertices];
        mesh->mNumUVComponents[0] = 2;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v)
            mesh->mTextureCoords[0][v] = aiVector3D(coords[v].first, coords[v].second, 0.0f);
        names.push_back(meshName(mesh, i));
    }
    return names;
}

ImportedMesh readMesh(const aiMesh* mesh, unsigned index, ImportNotes& notes)
{
    ImportedMesh out;
    out.name = meshName(mesh, index);
    out.material = mesh->mMaterialIndex;
    out.vertices.resize(mesh->mNumVertices);
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        ObjectVertex& vertex = out.vertices[v];
        vertex.position = toFloat3(mesh->mVertices[v]);
        if (mesh->mNormals)
            vertex.normal = toFloat3(mesh->mNormals[v]);
        if (mesh->mTangents)
            vertex.tangent = toFloat3(mesh->mTangents[v]);
        if (mesh->mBitangents)
            vertex.binormal = toFloat3(mesh->mBitangents[v]);
        if (mesh->mTextureCoords[0]) {
            vertex.texCoord[0] = mesh->mTextureCoords[0][v].x;
            vertex.texCoord[1] = mesh->mTextureCoords[0][v].y;
        }
    }
    out.indices.reserve(size_t(mesh->mNumFaces) * 3);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices == 3)
            out.indices.insert(out.indices.end(), face.mIndices, face.mIndices + 3);
    }

    const std::vector<Float3> faceNormals = faceNormalsPerVertex(out.vertices, out.indices);
    size_t replaced = 0;
    for (size_t v = 0; v < out.vertices.size(); ++v)
        replaced += !completeTangentFrame(out.vertices[v], faceNormals[v]);
    if (replaced)
        notes.note("mesh '" + out.name + "': " + std::to_string(replaced) +
                   " vertex normals are zero or not numbers; face normals used");
    if (size_t reversed = orientTrianglesToNormals(out.vertices, out.indices))
        notes.note("mesh '" + out.name + "': " + std::to_string(reversed) +
                   " triangles wound against their normals were turned");
    return out;
}

void readNodes(const aiNode* node, const aiMatrix4x4& parent, const std::vector<int>& meshMap, ImportedModel& model)
{
    const aiMatrix4x4 world = parent * node->mTransformation;
    ImportedNode out;
    out.name = node->mName.C_Str();
    out.world = toMatrix(world);
    for (unsigned i = 0; i < node->mNumMeshes; ++i)
        if (meshMap[node->mMeshes[i]] >= 0)
            out.meshes.push_back(uint32_t(meshMap[node->mMeshes[i]]));
    model.nodes.push_back(std::move(out));
    for (unsigned c = 0; c < node->mNumChildren; ++c)
        readNodes(node->mChildren[c], world, meshMap, model);
}

void readEmbeddedImages(const aiScene* scene, ImportedModel& model)
{
    for (unsigned i = 0; i < scene->mNumTextures; ++i) {
        const aiTexture* texture = scene->mTextures[i];
        EmbeddedImage image;
        if (texture->mHeight == 0) {
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(texture->pcData);
            image.encoded.assign(bytes, bytes + texture->mWidth);
        } else {
            image.width = texture->mWidth;
            image.height = texture->mHeight;
            image.rgba.reserve(size_t(image.width) * image.height * 4);
            for (size_t t = 0; t < size_t(image.width) * image.height; ++t) {
                const aiTexel& texel = texture->pcData[t];
                image.rgba.insert(image.rgba.end(), {texel.r, texel.g, texel.b, texel.a});
            }
        }
        model.embeddedImages.push_back(std::move(image));
    }
}

}  // namespace

bool readModel(const std::string& path, ImportedModel& model, ImportNotes& notes, std::string& error)
{
    model = ImportedModel{};
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Directory) {
        error = "cannot open the model: it is a folder";
        return false;
    }
    // Opening a FIFO would wait for a writer for ever, and a device has no end.
    if (kind == PathKind::Other) {
        error = "cannot open the model: it is not a regular file (a device, pipe or socket)";
        return false;
    }
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        error = std::string("cannot open the model (") + std::strerror(errno) + ")";
        return false;
    }
    probe.close();
    if (!declaredCountsFit(path, error))
        return false;

    Assimp::Importer importer;
    importer.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, kSmoothingAngle);
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, 0);
    const aiScene* scene = importer.ReadFile(path, kReadSteps);
    if (!scene) {
        error = std::string("not a model that can be read: ") + importer.GetErrorString();
        return false;
    }
    if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) {
        error = "the file holds no complete scene";
        return false;
    }

    std::vector<std::string> withoutNormals;
    size_t otherPrimitives = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        if (!isTriangleMesh(mesh))
            ++otherPrimitives;
        else if (!mesh->HasNormals())
            withoutNormals.push_back(meshName(mesh, i));
    }
    const std::vector<std::string> withoutTexCoords = addPlanarTexCoords(scene);

    scene = importer.ApplyPostProcessing(kFinishSteps);
    if (!scene) {
        error = std::string("cannot complete the meshes: ") + importer.GetErrorString();
        return false;
    }

    if (!withoutNormals.empty())
        notes.note(std::to_string(withoutNormals.size()) + " mesh(es) without normals (" + listed(withoutNormals) +
                   "): smooth normals computed");
    if (!withoutTexCoords.empty())
        notes.note(std::to_string(withoutTexCoords.size()) + " mesh(es) without texture coordinates (" +
                   listed(withoutTexCoords) + "): planar mapping used");
    if (otherPrimitives)
        notes.note(std::to_string(otherPrimitives) + " point or line mesh(es) left out: only triangles are rendered");

    std::vector<int> meshMap(scene->mNumMeshes, -1);
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        if (!isTriangleMesh(scene->mMeshes[i]))
            continue;
        meshMap[i] = int(model.meshes.size());
        model.meshes.push_back(readMesh(scene->mMeshes[i], i, notes));
    }
    if (model.meshes.empty()) {
        error = "the model holds no triangle meshes";
        return false;
    }
    const fs::path folder = fs::path(path).parent_path();
    for (unsigned i = 0; i < scene->mNumMaterials; ++i)
        model.materials.push_back(readMaterial(scene, scene->mMaterials[i], i, folder));
    for (ImportedMesh& mesh : model.meshes)
        if (mesh.material >= model.materials.size()) {
            error = "mesh '" + mesh.name + "' names material " + std::to_string(mesh.material) + " of " +
                    std::to_string(model.materials.size());
            return false;
        }
    readEmbeddedImages(scene, model);
    readNodes(scene->mRootNode, aiMatrix4x4(), meshMap, model);
    return true;
}

}  // namespace Orvanta
