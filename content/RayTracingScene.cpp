#include "content/RayTracingScene.h"

#include "content/SceneFile.h"
#include "gpu/TextParser.h"

#include <map>
#include <mutex>

namespace Orvanta {

SurfaceFlags materialFileSurfaceFlags(const std::string& materialPath)
{
    // Many submeshes share a material; each file is read once.
    static std::mutex mutex;
    static std::map<std::string, SurfaceFlags> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = cache.find(materialPath);
    if (found != cache.end())
        return found->second;
    SurfaceFlags flags;
    std::unique_ptr<TextNode> root = parseFile(materialPath);
    if (root && root->kind == TextNode::Block && root->name == "material") {
        for (const TextNode& child : root->children) {
            if (child.kind != TextNode::Value)
                continue;
            // The same words the material loader accepts: anything but true/false keeps the default.
            const bool isTrue = child.value == "true", isFalse = child.value == "false";
            if (child.name == "isTransparent" && (isTrue || isFalse))
                flags.isTransparent = isTrue;
            else if (child.name == "isDoubleSided" && (isTrue || isFalse))
                flags.isDoubleSided = isTrue;
        }
    }
    cache[materialPath] = flags;
    return flags;
}

bool loadRayTracingScene(const std::string& scenePath, RayTracingGeometry& geometry, std::string& sceneTag,
                         std::string& error)
{
    SceneFileData file;
    if (!readSceneFile(scenePath, file, error))
        return false;
    sceneTag = file.sceneTag;
    const std::string directory = sceneDirectory(scenePath);
    for (const SceneInstanceRecord& record : file.instances)
        appendInstanceGeometry(geometry, directory + record.objectName, record.position, record.scale,
                               record.orientation, materialFileSurfaceFlags);
    return true;
}

}  // namespace Orvanta
