#pragma once
#include "content/SceneLoadTimes.h"

#include <string>
#include <vector>

namespace Orvanta {

class KdTree;
class ObjectInstance;
class RayTracingSceneLoad;
struct RayTracingGeometry;

// Loads the scene file at scenePath: appends one instance per placement to `instances` (file
// order; a placement whose object cannot be loaded, or that lies beyond the scene extent, is
// reported and left out) and replaces the sky occlusion corner list with the file's quads. Each
// loaded instance's world-space triangles are appended to `geometry`, and `kdTree` is pointed at
// that geometry and loaded from the scene's tree file (or built and saved when the file is missing
// or stale; when a placement was left out the tree is built in memory and not saved, so that a
// repaired file never loads a tree of the partial scene). A missing or malformed scene file is reported and
// leaves an empty scene: no instances are added and the corner list is empty. Needs a current GL
// context (objects upload their buffers). The ray tracer's geometry and kd-tree (`geometry` and
// `kdTree`) load on a thread of their own meanwhile (see RayTracingSceneLoad); pass one started
// earlier for the same scene and the same geometry and tree to overlap it with more of the start-up.
// Either way it is complete when loadScene returns. When times is given, each stage's duration is
// added to it.
void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances, RayTracingGeometry& geometry,
               KdTree& kdTree, SceneLoadTimes* times = nullptr, RayTracingSceneLoad* rayTracing = nullptr);

}  // namespace Orvanta
