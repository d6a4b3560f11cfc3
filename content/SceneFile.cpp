#include "content/SceneFile.h"

#include "content/BinaryIo.h"
#include "content/SceneExtent.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

bool parseSceneFile(const std::string& name, std::vector<uint8_t> bytes, SceneFileData& data, std::string& error)
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
        if (!in.readFloats(&r.position.x, 3) || !in.readFloats(&r.orientation.x, 4) || !in.readFloats(&r.scale.x, 3) ||
            !in.readCString(r.objectName))
            return fail("truncated in instance " + std::to_string(i));
        if (!isFinite(r.position) || !isFinite(r.scale) || !std::isfinite(r.orientation.x) ||
            !std::isfinite(r.orientation.y) || !std::isfinite(r.orientation.z) || !std::isfinite(r.orientation.w))
            return fail("instance " + std::to_string(i) + " (" + r.objectName + ") has a number that is not finite");
        if (r.objectName.empty())
            return fail("instance " + std::to_string(i) + " names no object");
        if (hasParentStep(r.objectName))
            return fail("instance " + std::to_string(i) + " names \"" + r.objectName +
                        "\", which climbs out of the scene's directory with \"..\"");
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
        for (const Float3& corner : q.corners)
            if (!isFinite(corner))
                return fail("occlusion quad " + std::to_string(&q - data.quads.data()) +
                            " has a corner that is not finite");
    }
    // Bytes left over mean the counts do not describe the file: a tag missing its zero byte, for
    // one, swallows the count after it and leaves the rest unread.
    if (!in.atEnd())
        return fail(std::to_string(in.remaining()) + " unexpected bytes after the last occlusion quad");
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

std::string placementProblem(const SceneInstanceRecord& record)
{
    if (!withinSceneExtent(record.position))
        return "its position lies beyond " + std::to_string(int(kMaxSceneCoordinate)) + " units";
    const Quaternion& q = record.orientation;
    if (!(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w > 1e-6f))
        return "its orientation is a zero quaternion";
    const Float3& s = record.scale;
    if (!(std::fabs(s.x) <= kMaxSceneCoordinate && std::fabs(s.y) <= kMaxSceneCoordinate &&
          std::fabs(s.z) <= kMaxSceneCoordinate))
        return "its scale exceeds " + std::to_string(int(kMaxSceneCoordinate));
    return std::string();
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
