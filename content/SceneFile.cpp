#include "content/SceneFile.h"

#include "content/BinaryIo.h"

#include <algorithm>

namespace Orvanta {

bool parseSceneFile(const std::string& name, std::vector<uint8_t> bytes, SceneFileData& data,
                    std::string& error)
{
    BinaryReader in(std::move(bytes));
    auto fail = [&](const std::string& problem) {
        error = name + ": " + problem;
        return false;
    };
    if (!in.readCString(data.sceneTag))
        return fail("the scene tag has no terminating zero byte");
    uint32_t instanceCount = 0;
    if (!in.readU32(instanceCount))
        return fail("truncated before the instance count");
    // The smallest instance record is ten floats and an empty name: 41 bytes.
    if (instanceCount > in.remaining() / 41)
        return fail("instance count " + std::to_string(instanceCount) + " is larger than the file");
    data.instances.resize(instanceCount);
    for (uint32_t i = 0; i < instanceCount; ++i) {
        SceneInstanceRecord& r = data.instances[i];
        if (!in.readFloats(&r.position.x, 3) || !in.readFloats(&r.orientation.x, 4) ||
            !in.readFloats(&r.scale.x, 3) || !in.readCString(r.objectName))
            return fail("truncated in instance " + std::to_string(i));
    }
    uint32_t quadCount = 0;
    if (!in.readU32(quadCount))
        return fail("truncated before the occlusion quad count");
    if (quadCount > in.remaining() / 44)
        return fail("occlusion quad count " + std::to_string(quadCount) + " is larger than the file");
    data.quads.resize(quadCount);
    for (OcclusionQuad& q : data.quads) {
        in.readFloats(&q.corners[0].x, 3);
        in.readFloats(&q.corners[1].x, 3);
        in.readFloats(&q.corners[2].x, 3);
        in.readFloats(&q.corners[3].x, 2);
        q.corners[3].z = 0.0f;
    }
    return true;
}

bool readSceneFile(const std::string& path, SceneFileData& data, std::string& error)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    return parseSceneFile(path, std::move(bytes), data, error);
}

std::vector<uint8_t> encodeSceneFile(const SceneFileData& data)
{
    BinaryWriter out;
    out.writeCString(data.sceneTag);
    out.writeU32(static_cast<uint32_t>(data.instances.size()));
    for (const SceneInstanceRecord& r : data.instances) {
        out.writeFloats(&r.position.x, 3);
        out.writeFloats(&r.orientation.x, 4);
        out.writeFloats(&r.scale.x, 3);
        out.writeCString(r.objectName);
    }
    out.writeU32(static_cast<uint32_t>(data.quads.size()));
    for (const OcclusionQuad& q : data.quads) {
        out.writeFloats(&q.corners[0].x, 3);
        out.writeFloats(&q.corners[1].x, 3);
        out.writeFloats(&q.corners[2].x, 3);
        out.writeFloats(&q.corners[3].x, 2);
    }
    return out.bytes();
}

bool writeSceneFile(const std::string& path, const SceneFileData& data, std::string& error)
{
    return writeFileAtomically(path, encodeSceneFile(data), error);
}

std::string sceneDirectory(const std::string& scenePath)
{
    size_t slash = scenePath.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : scenePath.substr(0, slash + 1);
}

std::string kdTreePathForScene(const std::string& scenePath)
{
    size_t at = scenePath.find(".scene");
    if (at == std::string::npos)
        return std::string();
    return scenePath.substr(0, at) + ".kdTree" + scenePath.substr(std::min(scenePath.size(), at + 7));
}

}  // namespace Orvanta
