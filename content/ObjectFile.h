#pragma once
#include "scene/Math.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// One vertex of the interleaved 56-byte layout shared by object files, GPU vertex buffers and
// the ray tracer's world-space copy.
struct ObjectVertex {
    Float3 position;                   // offset 0
    Float3 normal;                     // offset 12
    Float3 tangent;                    // offset 24
    Float3 binormal;                   // offset 36
    float texCoord[2] = {0.0f, 0.0f};  // offset 48
};
static_assert(sizeof(ObjectVertex) == 56, "the vertex layout is 56 bytes");

// One submesh record: a triangle range drawn with one material and up to three textures.
// Texture names are file names under "resources/textures/", empty for none.
struct SubmeshRecord {
    std::string materialName;
    std::string colorTextureName;
    std::string normalTextureName;
    std::string specularTextureName;
    float specularPower = 0.0f;
    uint32_t firstTriangle = 0;
    uint32_t lastTriangle = 0;  // inclusive
};

// The whole content of a ".object" file (little-endian, no padding):
// header cstring, minCorner, maxCorner, vertexCount + vertices, triangleCount + indices,
// submeshCount + submesh records.
struct ObjectFileData {
    std::string header;
    Float3 minCorner;
    Float3 maxCorner;
    std::vector<ObjectVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
    std::vector<SubmeshRecord> submeshes;

    uint32_t triangleCount() const { return static_cast<uint32_t>(indices.size() / 3); }
};

// Reads and checks a whole object file: counts must fit the file (bytes after the last submesh
// are allowed), every index must be below the vertex count, every triangle range inside the
// triangle count, every number finite, positions and the box within the scene extent
// (content/SceneExtent.h). Material and texture names are checked where they are opened (a name
// climbing out of the content folders is refused there). On any problem returns false with a
// message naming the path and the problem; `data` is then unspecified.
bool readObjectFile(const std::string& path, ObjectFileData& data, std::string& error);
// Parses object-file bytes already in memory (same checks; `name` is used in messages).
bool parseObjectFile(const std::string& name, std::vector<uint8_t> bytes, ObjectFileData& data, std::string& error);
// Encodes the records in file layout.
std::vector<uint8_t> encodeObjectFile(const ObjectFileData& data);
// Writes the file atomically (temporary file, then rename).
bool writeObjectFile(const std::string& path, const ObjectFileData& data, std::string& error);

}  // namespace Orvanta
