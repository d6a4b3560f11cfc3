#pragma once
#include <string>
#include <vector>

namespace Orvanta {

class KdTree;
class ObjectInstance;
struct RayTracingGeometry;

// Loads the scene file at scenePath: appends one instance per placement to `instances` (file
// order; a placement whose object cannot be loaded is reported and left out) and replaces the sky
// occlusion corner list with the file's quads. Each loaded instance's world-space triangles are
// appended to `geometry`, and `kdTree` is pointed at that geometry and loaded from the scene's tree
// file (or built and saved when the file is missing or stale). A missing or malformed scene file is reported and
// leaves an empty scene: no instances are added and the corner list is empty. Needs a current GL
// context (objects upload their buffers).
void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances, RayTracingGeometry& geometry,
               KdTree& kdTree);

}  // namespace Orvanta
