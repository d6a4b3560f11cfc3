#include "content/RayTracingScene.h"

#include "content/SceneExtent.h"
#include "content/SceneFile.h"
#include "gpu/MaterialFile.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"

#include <algorithm>
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
    // The material loader's own reading; its messages are the engine's to give when it loads the
    // material, so the tools stay quiet about them.
    MaterialFileData file;
    std::vector<std::string> problems;
    readMaterialFile(materialPath, file, problems);
    SurfaceFlags flags;
    flags.isTransparent = file.isTransparent;
    flags.isDoubleSided = file.isDoubleSided;
    flags.isAlphaTested = file.isAlphaTested;
    flags.alphaTestThreshold = file.alphaTestTreshold;
    // The loader keeps only passes of a known type, so any RAYTRACED record is a pass it builds.
    flags.hasMirrorPass = std::any_of(file.passes.begin(), file.passes.end(),
                                      [](const MaterialPassRecord& pass) { return pass.type == PassTypeRaytraced; });
    flags.optics = file.optics;
    cache[materialPath] = flags;
    return flags;
}

bool loadRayTracingScene(const std::string& scenePath, RayTracingGeometry& geometry, std::string& sceneTag,
                         std::string& error, bool reportObjects, bool* complete)
{
    SceneFileData file;
    if (!readSceneFile(scenePath, file, error))
        return false;
    sceneTag = file.sceneTag;
    const std::string directory = sceneDirectory(scenePath);
    addContentRoot(directory);  // as loadScene does
    bool all = true;
    std::map<std::string, std::unique_ptr<ObjectFileData>> objects;  // null: unreadable
    for (size_t i = 0; i < file.instances.size(); ++i) {
        const SceneInstanceRecord& record = file.instances[i];
        const std::string path = directory + record.objectName;
        const std::string problem = placementProblem(record);
        if (!problem.empty()) {
            if (reportObjects)
                logError(scenePath + ": instance " + std::to_string(i) + " (" + path + ") is left out: " + problem);
            all = false;
            continue;
        }
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
        if (!found->second) {
            all = false;
            continue;
        }
        if (!appendObjectGeometry(geometry, *found->second, record.position, record.scale, record.orientation,
                                  materialFileSurfaceFlags)) {
            logError("ray-tracing geometry skipped: " + path + ": placed by instance " + std::to_string(i) +
                     ", a vertex lies beyond " + std::to_string(int(kMaxSceneCoordinate)) + " units");
            all = false;
        }
    }
    if (complete)
        *complete = all;
    return true;
}

}  // namespace Orvanta
