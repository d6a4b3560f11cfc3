#pragma once
// The model as the importer reads it, in the engine's terms but before anything is written:
// triangle meshes in the 56-byte vertex layout, materials as the source describes them, and the
// nodes that place the meshes. The reader fills it; the assembly turns it into files.
#include "content/ObjectFile.h"
#include "scene/Math.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// Where a texture's pixels come from: a file, or an image packed into the model file itself.
struct TextureSource {
    std::string file;   // path resolved against the model's folder; empty for an embedded image
    int embedded = -1;  // index into ImportedModel::embeddedImages, or -1
    std::string label;  // the name the model gives it, for messages and output names

    bool present() const { return !file.empty() || embedded >= 0; }
    bool operator==(const TextureSource&) const = default;
};

// An image stored inside the model file: either encoded (PNG, JPEG ...) or already decoded.
struct EmbeddedImage {
    std::vector<uint8_t> encoded;  // a whole image file, when not empty
    uint32_t width = 0;            // decoded RGBA8 pixels otherwise, row 0 at the top
    uint32_t height = 0;
    std::vector<uint8_t> rgba;
};

enum class AlphaMode { Opaque, Mask, Blend };

struct ImportedMaterial {
    std::string name;
    float baseColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // linear RGB and opacity, multiplies the texture
    TextureSource colorTexture;
    TextureSource normalTexture;
    TextureSource specularTexture;
    TextureSource opacityTexture;  // a separate coverage image (multiplies the colour's alpha)
    AlphaMode alphaMode = AlphaMode::Opaque;
    float alphaCutoff = 0.5f;
    bool doubleSided = false;
    float specularPower = 16.0f;
    // Mirror and glass properties where the source gives them (glTF metallic-roughness and its
    // transmission, ior and volume extensions; the refraction index of MTL and others).
    float metallic = 0.0f;
    float roughness = 1.0f;
    float transmission = 0.0f;
    float refractiveIndex = 0.0f;  // 0 when the source gives none
    float volumeThickness = 0.0f;  // above 0: a solid body, not a thin pane
};

// One source mesh: triangles with one material. Vertices are complete: unit normals, unit
// tangent frames, texture coordinates with t = 0 at the image's top row, as the engine samples.
struct ImportedMesh {
    std::string name;
    uint32_t material = 0;
    std::vector<ObjectVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle, counter-clockwise seen from outside
};

// One node that places meshes: its world transform in the source's coordinates.
struct ImportedNode {
    std::string name;
    Matrix4 world;
    std::vector<uint32_t> meshes;  // indices into ImportedModel::meshes
};

struct ImportedModel {
    std::vector<ImportedMesh> meshes;
    std::vector<ImportedMaterial> materials;
    std::vector<ImportedNode> nodes;  // depth first, parents before children
    std::vector<EmbeddedImage> embeddedImages;
};

// Problems worth telling the user that do not stop the import. Each distinct text is kept once,
// in the order first met.
class ImportNotes {
public:
    void note(const std::string& text);
    const std::vector<std::string>& all() const { return texts; }

private:
    std::vector<std::string> texts;
};

}  // namespace Orvanta
