#include "content/SceneLoader.h"

#include "content/KdTree.h"
#include "content/ObjectInstance.h"
#include "content/RayTracingGeometry.h"
#include "content/SceneFile.h"
#include "content/SkyOcclusion.h"
#include "platform/Log.h"

namespace Orvanta {

void loadScene(const std::string& scenePath, std::vector<ObjectInstance*>& instances, RayTracingGeometry& geometry,
               KdTree& kdTree)
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
        appendInstanceGeometry(geometry, objectPath, record.position, record.scale,
                               record.orientation);
        instances.push_back(instance);
    }

    corners.reserve(file.quads.size() * 4);
    for (const OcclusionQuad& quad : file.quads)
        for (const Float3& corner : quad.corners)
            corners.push_back(corner);

    // The geometry is complete now (the sky is added after loading and never traced).
    kdTree.geometry = &geometry;
    obtainKdTree(kdTree, kdTreePathForScene(scenePath), file.sceneTag);
}

}  // namespace Orvanta
