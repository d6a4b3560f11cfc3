#pragma once
// Turns a read model into the engine's files: one object per distinct node mesh (submeshes by
// material), a copy per node whose transform shears or mirrors, one scene instance per node,
// the materials and textures the objects use, and the scene file whose tag is derived from
// everything else, so that a changed model gets a new kd-tree.
#include "ImportedModel.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Orvanta {

struct AssemblySettings {
    std::string name;        // the scene's file stem and the tag's readable part
    std::string modelLabel;  // the model's file name, written into object headers
    // What the engine's fixed "resources/materials/" and "resources/textures/" prefixes need in
    // front of a path inside the output folder to reach it ("../imported/duck/" for an output
    // folder "resources/imported/duck" of the engine's folder).
    std::string resourcePrefix;
    Matrix4 root;  // --up and --scale, applied above every node
};

struct ImportSummary {
    size_t sourceMeshes = 0;
    size_t objects = 0;
    size_t bakedCopies = 0;
    size_t instances = 0;
    uint64_t objectTriangles = 0;
    uint64_t placedTriangles = 0;
    size_t materials = 0;
    size_t alphaTested = 0;
    size_t transparent = 0;
    size_t doubleSided = 0;
    size_t metal = 0;  // with the ray-traced mirror pass as polished metal
    size_t glass = 0;  // with the ray-traced mirror pass as glass
    size_t textures = 0;
    Float3 boxMin;
    Float3 boxMax;
    std::string sceneFile;  // relative to the output folder
    std::string sceneTag;
};

// Every file of the import, by path relative to the output folder (sorted, so that writing and
// the tag do not depend on the order things were made in).
using ImportFiles = std::map<std::string, std::vector<uint8_t>>;

// False with a message when the model cannot be written in the engine's formats (nothing placed,
// an object beyond what 32-bit indices address, an image the TGA format cannot hold).
bool assembleImport(const ImportedModel& model, const AssemblySettings& settings, ImportNotes& notes,
                    ImportFiles& files, ImportSummary& summary, std::string& error);

// A file stem made of letters, digits, '-' and '_' only (others become '_'), at most 48 bytes,
// `fallback` when nothing is left: names from a model can never climb out of the output folder.
std::string safeStem(const std::string& name, const std::string& fallback);

}  // namespace Orvanta
