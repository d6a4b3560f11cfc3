#pragma once
#include "content/RayTracingGeometry.h"

#include <string>

namespace Orvanta {

// The material's terms read from its file's own text, without compiling its shaders (so without
// a GL context). A file that cannot be read gives the defaults.
SurfaceFlags materialFileSurfaceFlags(const std::string& materialPath);

// The ray tracer's half of scene loading on its own: every placement of the scene file appended
// to geometry (objects read from their files, materials' flags from their text, images from their
// TGA files). Each object file is read once however often it is placed. False with a message
// naming the file when the scene file cannot be read; placements whose object cannot be read, or
// that lie beyond the scene extent, are left out, and each such file or placement is reported
// once unless reportObjects is false (when the object loader, loading the same scene for drawing,
// reports them). `complete` (when given) says whether every placement was added: a tree of a
// partial scene must not be saved under the scene's tag.
bool loadRayTracingScene(const std::string& scenePath, RayTracingGeometry& geometry, std::string& sceneTag,
                         std::string& error, bool reportObjects = true, bool* complete = nullptr);

}  // namespace Orvanta
