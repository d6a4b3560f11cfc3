#pragma once
#include "content/SceneLoadTimes.h"

#include <string>
#include <vector>

namespace Orvanta {

class ObjectInstance;
class RayTracingSceneLoad;

// Loads the scene file at scenePath: appends one instance per placement to `instances` (file
// order; a placement whose object cannot be loaded, or that lies beyond the scene extent, is
// reported and left out) and replaces the sky occlusion corner list with the file's quads. When a
// placement was left out the kd-tree is built in memory and not saved, so that a repaired file
// never loads a tree of the partial scene. A missing or malformed scene file is reported and
// leaves an empty scene: no instances are added and the corner list is empty. Needs a current GL
// context (objects upload their buffers). The ray tracer's geometry and kd-tree load on a thread of
// their own meanwhile (see RayTracingSceneLoad); pass one started earlier for the same scene to
// overlap it with more of the start-up. Either way it is complete when loadScene returns. When
// times is given, each stage's duration is added to it.
void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances,
               SceneLoadTimes* times = nullptr, RayTracingSceneLoad* rayTracing = nullptr);

}  // namespace Orvanta
