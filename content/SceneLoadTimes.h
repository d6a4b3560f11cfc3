#pragma once

namespace Orvanta {

// Where the time of loading a scene goes, in seconds, for start-up measurements. The ray tracer's
// half runs on a thread of its own beside the objects: its two stages overlap the others, and
// rayTracingWait is what the loading thread still waited for it at the end.
struct SceneLoadTimes {
    double sceneFile = 0.0;       // reading and checking the scene file
    double objects = 0.0;         // object files, materials, textures and their GL uploads
    double rayGeometry = 0.0;     // the ray tracer's world-space copy, its images' mip chains
    double kdTree = 0.0;          // reading (or building and saving) the kd-tree
    double rayTracingWait = 0.0;  // waiting for the ray tracer's half after everything else
    bool kdTreeBuilt = false;     // the tree had to be built: no valid file was present
};

}  // namespace Orvanta
