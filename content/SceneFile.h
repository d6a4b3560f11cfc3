#pragma once
#include "scene/Math.h"

#include <string>
#include <vector>

namespace Orvanta {

// One placement of an object. objectName is relative to the scene file's directory.
struct SceneInstanceRecord {
    Float3 position;
    Quaternion orientation;
    Float3 scale{1, 1, 1};
    std::string objectName;
};

// A sky occlusion quad: four corners. Only 11 floats are stored: corner 3's z is not part of the
// record and is always 0 in memory.
struct OcclusionQuad {
    Float3 corners[4];
};

// The start of the tag of every scene the import tool makes ("imported NAME HASH"): their kd-trees
// are built by the rule for any scale (kdBuildRuleForScene).
inline constexpr char kImportedSceneTagPrefix[] = "imported ";

// The whole content of a ".scene" file (little-endian, no padding): sceneTag cstring,
// instanceCount + instance records, quadCount + 11-float quad records.
struct SceneFileData {
    std::string sceneTag;
    std::vector<SceneInstanceRecord> instances;
    std::vector<OcclusionQuad> quads;
};

// Reads a whole scene file, never past its end. On a missing, truncated or inconsistent file
// (counts that do not match the bytes, numbers that are not finite, an object name that is empty
// or climbs out of the scene's directory with "..") returns false with a message naming the path
// and the problem.
bool readSceneFile(const std::string& path, SceneFileData& data, std::string& error);
bool parseSceneFile(const std::string& name, std::vector<uint8_t> bytes, SceneFileData& data, std::string& error);
std::vector<uint8_t> encodeSceneFile(const SceneFileData& data);
bool writeSceneFile(const std::string& path, const SceneFileData& data, std::string& error);

// Why a placement read from a well-formed file cannot be used, or an empty string: a position
// beyond the scene extent (content/SceneExtent.h), a zero quaternion, or an absurd scale. The
// loaders leave such a placement out with a message.
std::string placementProblem(const SceneInstanceRecord& record);

// The directory part of a scene path, up to and including its last '/' or '\\' (empty if none).
std::string sceneDirectory(const std::string& scenePath);
// The kd-tree path: the 7 characters from the first ".scene" on (or fewer, at the end) become
// ".kdTree". Returns an empty string for a path without ".scene", which has no kd-tree path.
std::string kdTreePathForScene(const std::string& scenePath);

}  // namespace Orvanta
