#pragma once
#include <string>
#include <vector>

namespace Orvanta {

class ObjectInstance;

// Loads the scene file at scenePath: appends one instance per placement to `instances` (file
// order; a placement whose object cannot be loaded, or that lies beyond the scene extent, is
// reported and left out) and replaces the sky occlusion corner list with the file's quads. When a
// placement was left out the kd-tree is built in memory and not saved, so that a repaired file
// never loads a tree of the partial scene. A missing or malformed scene file is reported and
// leaves an empty scene: no instances are added and the corner list is empty. Needs a current GL
// context (objects upload their buffers).
void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances);

}  // namespace Orvanta
