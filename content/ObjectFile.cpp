#include "content/ObjectFile.h"

#include "content/BinaryIo.h"
#include "content/SceneExtent.h"

#include <cmath>

namespace Orvanta {

namespace {

// Why a vertex cannot be drawn or traced, or null. Positions beyond the scene extent would make
// the kd-tree build endless; non-finite attributes would spread NaN through lighting.
const char* vertexProblem(const ObjectVertex& v)
{
    if (!withinSceneExtent(v.position))
        return "has a position that is not finite or lies beyond the scene extent";
    if (!isFinite(v.normal) || !isFinite(v.tangent) || !isFinite(v.binormal) || !std::isfinite(v.texCoord[0]) ||
        !std::isfinite(v.texCoord[1]))
        return "has an attribute that is not a finite number";
    return nullptr;
}

}  // namespace

bool parseObjectFile(const std::string& name, std::vector<uint8_t> bytes, ObjectFileData& data, std::string& error)
{
    BinaryReader in(std::move(bytes));
    auto fail = [&](const std::string& problem) {
        error = name + ": " + problem;
        return false;
    };

    if (!in.readCString(data.header))
        return fail("the header text has no terminating zero byte");
    if (!in.readFloats(&data.minCorner.x, 3) || !in.readFloats(&data.maxCorner.x, 3))
        return fail("truncated in the bounding box");
    if (!withinSceneExtent(data.minCorner) || !withinSceneExtent(data.maxCorner))
        return fail("the bounding box is not finite or lies beyond " + std::to_string(int(kMaxSceneCoordinate)) +
                    " units");

    uint32_t vertexCount = 0;
    if (!in.readU32(vertexCount))
        return fail("truncated before the vertex count");
    if (vertexCount > in.remaining() / sizeof(ObjectVertex))
        return fail("vertex count " + std::to_string(vertexCount) + " is larger than the file");
    data.vertices.resize(vertexCount);
    in.readBytes(data.vertices.data(), static_cast<size_t>(vertexCount) * sizeof(ObjectVertex));
    for (size_t i = 0; i < data.vertices.size(); ++i)
        if (const char* what = vertexProblem(data.vertices[i]))
            return fail("vertex " + std::to_string(i) + " " + what);

    uint32_t triangleCount = 0;
    if (!in.readU32(triangleCount))
        return fail("truncated before the triangle count");
    if (triangleCount > in.remaining() / 12)
        return fail("triangle count " + std::to_string(triangleCount) + " is larger than the file");
    data.indices.resize(static_cast<size_t>(triangleCount) * 3);
    in.readBytes(data.indices.data(), data.indices.size() * 4);
    for (size_t i = 0; i < data.indices.size(); ++i)
        if (data.indices[i] >= vertexCount)
            return fail("triangle " + std::to_string(i / 3) + " uses vertex " + std::to_string(data.indices[i]) +
                        " of " + std::to_string(vertexCount));

    uint32_t submeshCount = 0;
    if (!in.readU32(submeshCount))
        return fail("truncated before the submesh count");
    // The smallest submesh record is four empty strings and three 32-bit fields: 16 bytes.
    if (submeshCount > in.remaining() / 16)
        return fail("submesh count " + std::to_string(submeshCount) + " is larger than the file");
    data.submeshes.resize(submeshCount);
    for (uint32_t s = 0; s < submeshCount; ++s) {
        SubmeshRecord& r = data.submeshes[s];
        if (!in.readCString(r.materialName) || !in.readCString(r.colorTextureName) ||
            !in.readCString(r.normalTextureName) || !in.readCString(r.specularTextureName) ||
            !in.readF32(r.specularPower) || !in.readU32(r.firstTriangle) || !in.readU32(r.lastTriangle))
            return fail("truncated in submesh " + std::to_string(s));
        if (!std::isfinite(r.specularPower))
            return fail("submesh " + std::to_string(s) + " has a specular power that is not a finite number");
        if (r.firstTriangle > r.lastTriangle || r.lastTriangle >= triangleCount)
            return fail("submesh " + std::to_string(s) + " covers triangles " + std::to_string(r.firstTriangle) + ".." +
                        std::to_string(r.lastTriangle) + " of " + std::to_string(triangleCount));
    }
    return true;
}

bool readObjectFile(const std::string& path, ObjectFileData& data, std::string& error)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    return parseObjectFile(path, std::move(bytes), data, error);
}

std::vector<uint8_t> encodeObjectFile(const ObjectFileData& data)
{
    BinaryWriter out;
    out.writeCString(data.header);
    out.writeFloats(&data.minCorner.x, 3);
    out.writeFloats(&data.maxCorner.x, 3);
    out.writeU32(static_cast<uint32_t>(data.vertices.size()));
    out.writeBytes(data.vertices.data(), data.vertices.size() * sizeof(ObjectVertex));
    out.writeU32(data.triangleCount());
    out.writeBytes(data.indices.data(), static_cast<size_t>(data.triangleCount()) * 12);
    out.writeU32(static_cast<uint32_t>(data.submeshes.size()));
    for (const SubmeshRecord& r : data.submeshes) {
        out.writeCString(r.materialName);
        out.writeCString(r.colorTextureName);
        out.writeCString(r.normalTextureName);
        out.writeCString(r.specularTextureName);
        out.writeF32(r.specularPower);
        out.writeU32(r.firstTriangle);
        out.writeU32(r.lastTriangle);
    }
    return out.bytes();
}

bool writeObjectFile(const std::string& path, const ObjectFileData& data, std::string& error)
{
    return writeFileAtomically(path, encodeObjectFile(data), error);
}

}  // namespace Orvanta
