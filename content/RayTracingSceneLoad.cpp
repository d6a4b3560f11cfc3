#include "content/RayTracingSceneLoad.h"

#include "content/KdTree.h"
#include "content/RayTracingScene.h"
#include "content/SceneFile.h"

#include <chrono>

namespace Orvanta {

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

RayTracingSceneLoad::RayTracingSceneLoad(const std::string& scenePath, RayTracingGeometry& geometry, KdTree& tree)
    : path(scenePath)
{
    try {
        thread = std::thread([this, &geometry, &tree] { run(geometry, tree); });
    } catch (const std::system_error&) {
        run(geometry, tree);  // no thread to be had: load in place
    }
}

RayTracingSceneLoad::~RayTracingSceneLoad()
{
    if (thread.joinable())
        thread.join();
}

void RayTracingSceneLoad::run(RayTracingGeometry& geometry, KdTree& tree)
{
    auto start = std::chrono::steady_clock::now();
    std::string tag, error;
    bool complete = true;
    loaded = loadRayTracingScene(path, geometry, tag, error, false, &complete);
    ownTimes.rayGeometry = secondsSince(start);
    if (!loaded)
        return;
    // The geometry is complete now (the sky is added after loading and never traced).
    start = std::chrono::steady_clock::now();
    tree.geometry = &geometry;
    ownTimes.kdTreeBuilt = obtainKdTree(tree, kdTreePathForScene(path), tag,
                                        complete ? KdTreeSource::SceneComplete : KdTreeSource::ScenePartial);
    ownTimes.kdTree = secondsSince(start);
}

bool RayTracingSceneLoad::wait(SceneLoadTimes* times)
{
    const auto start = std::chrono::steady_clock::now();
    if (thread.joinable())
        thread.join();
    if (times) {
        times->rayTracingWait += secondsSince(start);
        times->rayGeometry += ownTimes.rayGeometry;
        times->kdTree += ownTimes.kdTree;
        times->kdTreeBuilt = ownTimes.kdTreeBuilt;
        ownTimes = SceneLoadTimes{};
    }
    return loaded;
}

}  // namespace Orvanta
