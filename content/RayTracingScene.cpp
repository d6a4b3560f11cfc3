#include "content/RayTracingScene.h"

#include "content/SceneFile.h"
#include "gpu/TextParser.h"
#include "platform/Log.h"

#include <map>
#include <memory>
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
                         std::string& error, bool reportObjects)
{
    SceneFileData file;
    if (!readSceneFile(scenePath, file, error))
        return false;
    sceneTag = file.sceneTag;
    const std::string directory = sceneDirectory(scenePath);
    std::map<std::string, std::unique_ptr<ObjectFileData>> objects;  // null: unreadable
    for (const SceneInstanceRecord& record : file.instances) {
        const std::string path = directory + record.objectName;
        auto found = objects.find(path);
        if (found == objects.end()) {
            auto data = std::make_unique<ObjectFileData>();
            std::string objectError;
            if (!readObjectFile(path, *data, objectError)) {
                if (reportObjects)
                    logError("ray-tracing geometry skipped: " + objectError);
                data.reset();
            }
            found = objects.emplace(path, std::move(data)).first;
        }
        if (found->second)
            appendObjectGeometry(geometry, *found->second, record.position, record.scale, record.orientation,
                                 materialFileSurfaceFlags);
    }
    return true;
}

}  // namespace Orvanta
