#pragma once
#include "content/SceneLoadTimes.h"

#include <string>
#include <thread>

namespace Orvanta {

struct RayTracingGeometry;
class KdTree;

// The ray tracer's half of loading a scene (its world-space geometry, the images' mip chains and
// the kd-tree, read or built and saved) on a thread of its own. It needs no GL context, so it runs
// while the renderer starts and the objects upload. Material flags come from the material files'
// text, which gives what the material loader gives.
class RayTracingSceneLoad {
public:
    // Starts loading scenePath into geometry and tree, which nothing else may touch until wait()
    // has returned. geometry is appended to; the tree is replaced.
    RayTracingSceneLoad(const std::string& scenePath, RayTracingGeometry& geometry, KdTree& tree);
    // Waits for the load when nobody has.
    ~RayTracingSceneLoad();
    RayTracingSceneLoad(const RayTracingSceneLoad&) = delete;
    RayTracingSceneLoad& operator=(const RayTracingSceneLoad&) = delete;

    // Waits until the load is done; adds its stage times and the time spent waiting to times.
    // False when the scene file could not be read (nothing was added then; the reason is not
    // logged here, as the scene's own loader reports it).
    bool wait(SceneLoadTimes* times = nullptr);
    const std::string& scenePath() const { return path; }

private:
    void run(RayTracingGeometry& geometry, KdTree& tree);

    std::string path;
    std::thread thread;
    bool loaded = false;
    SceneLoadTimes ownTimes;
};

}  // namespace Orvanta
