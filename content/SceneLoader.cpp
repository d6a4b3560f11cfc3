#include "content/SceneLoader.h"

#include "content/KdTree.h"
#include "content/ObjectInstance.h"
#include "content/RayTracingGeometry.h"
#include "content/RayTracingSceneLoad.h"
#include "content/SceneFile.h"
#include "content/SkyOcclusion.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"

#include <chrono>
#include <memory>

namespace Orvanta {

namespace {

// Adds the time since the last lap to one stage of the record (nothing without a record).
class StageClock {
public:
    explicit StageClock(SceneLoadTimes* times) : record(times) {}
    void lap(double SceneLoadTimes::*stage)
    {
        const auto now = std::chrono::steady_clock::now();
        if (record)
            record->*stage += std::chrono::duration<double>(now - last).count();
        last = now;
    }

private:
    SceneLoadTimes* record;
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
};

}  // namespace

void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances, RayTracingGeometry& geometry,
               KdTree& kdTree, SceneLoadTimes* times, RayTracingSceneLoad* rayTracing)
{
    StageClock clock(times);
    std::unique_ptr<RayTracingSceneLoad> ownLoad;
    if (!rayTracing || rayTracing->scenePath() != scenePath) {
        if (rayTracing)
            rayTracing->wait();
        ownLoad = std::make_unique<RayTracingSceneLoad>(scenePath, geometry, kdTree);
        rayTracing = ownLoad.get();
    }
    std::vector<Float3>& corners = skyOcclusionCorners();
    corners.clear();

    // The whole file is read and checked before anything is created, so a damaged scene adds
    // nothing rather than half of its instances.
    SceneFileData file;
    std::string error;
    if (!readSceneFile(scenePath, file, error)) {
        logError("cannot load scene: " + error);
        rayTracing->wait();
        return;
    }
    clock.lap(&SceneLoadTimes::sceneFile);

    const std::string directory = sceneDirectory(scenePath);
    // The scene's folder is content: an imported scene kept outside "resources/" names its own
    // materials and textures through "resources/materials/../..".
    addContentRoot(directory);
    for (size_t i = 0; i < file.instances.size(); ++i) {
        const SceneInstanceRecord& record = file.instances[i];
        const std::string objectPath = directory + record.objectName;
        const std::string problem = placementProblem(record);
        if (!problem.empty()) {
            logError(scenePath + ": instance " + std::to_string(i) + " (" + objectPath + ") is left out: " + problem);
            continue;
        }
        ObjectInstance* instance = createObjectInstance(objectPath, record.position, record.scale, record.orientation);
        clock.lap(&SceneLoadTimes::objects);
        if (instance)
            instances.push_back(instance);
    }

    corners.reserve(file.quads.size() * 4);
    for (const OcclusionQuad& quad : file.quads)
        for (const Float3& corner : quad.corners)
            corners.push_back(corner);
    clock.lap(&SceneLoadTimes::sceneFile);
    rayTracing->wait(times);
}

}  // namespace Orvanta
