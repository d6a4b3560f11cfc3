#include "content/SceneLoader.h"

#include "content/ObjectInstance.h"
#include "content/SceneFile.h"
#include "content/SkyOcclusion.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"
#include "raytracing/RayTracer.h"

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

    // Whether every placement made it into both the drawn scene and the traced geometry. A tree
    // built from less than the whole scene must not be saved under the scene's tag.
    bool complete = true;
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
            complete = false;
            continue;
        }
        ObjectInstance* instance =
            createObjectInstance(objectPath, record.position, record.scale, record.orientation);
        if (!instance) {
            complete = false;
            continue;
        }
        if (!appendInstanceGeometry(rayTracer().geometry, objectPath, record.position, record.scale,
                                    record.orientation)) {
            // Drawn but not traced would show reflections without it; leave it out entirely.
            delete instance;
            complete = false;
            continue;
        }
        instances.push_back(instance);
    }

    corners.reserve(file.quads.size() * 4);
    for (const OcclusionQuad& quad : file.quads)
        for (const Float3& corner : quad.corners)
            corners.push_back(corner);

    // The geometry is complete now (the sky is added after loading and never traced).
    KdTree& kdTree = rayTracer().kdTree;
    kdTree.geometry = &rayTracer().geometry;
    obtainKdTree(kdTree, kdTreePathForScene(scenePath), file.sceneTag,
                 complete ? KdTreeSource::SceneComplete : KdTreeSource::ScenePartial);
}

}  // namespace Orvanta
