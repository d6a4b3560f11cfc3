// The scene file reader: an accepted file is consumed to its last byte, its numbers are finite
// and its object names stay inside the scene's directory; the placement check then decides each
// instance without fault.
#include "content/SceneFile.h"
#include "platform/FileAccess.h"
#include "support/FuzzSupport.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Orvanta;
    SceneFileData scene;
    std::string error;
    if (!parseSceneFile("fuzz.scene", OrvantaFuzz::bytesOf(data, size), scene, error)) {
        if (error.find("fuzz.scene") == std::string::npos)
            __builtin_trap();
        return 0;
    }
    for (const SceneInstanceRecord& instance : scene.instances) {
        if (instance.objectName.empty() || hasParentStep(instance.objectName) || !std::isfinite(instance.position.x))
            __builtin_trap();
        placementProblem(instance);
    }
    for (const OcclusionQuad& quad : scene.quads)
        if (quad.corners[3].z != 0.0f)
            __builtin_trap();
    kdTreePathForScene(scene.sceneTag);
    return 0;
}
