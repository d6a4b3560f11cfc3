#include "content/SceneVisibility.h"

#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "content/ObjectPasses.h"
#include "platform/Log.h"
#include "scene/Camera.h"
#include "scene/RaytracedRect.h"
#include "scene/Scene.h"
#include "scene/SceneView.h"

#include <vector>

namespace Orvanta {

namespace {

void updateView(SceneView& view, const std::vector<ObjectInstance*>& instances)
{
    view.clearVisibleSets();
    if (!view.camera) {
        logError("scene view without a camera: nothing is visible in it");
        return;
    }
    const Frustum& frustum = view.camera->frustum;
    for (ObjectInstance* instance : instances) {
        if (!instance || !instance->object)
            continue;
        const Object& object = *instance->object;
        if (!obbInFrustum(instance->obb.worldCorners, frustum) && !objectHasSkyPass(object))
            continue;
        // A full set leaves the rest out (reported once by the view).
        if (!view.addVisible(instance))
            continue;
        if (objectHasRaycastingPass(object))
            view.addRaytraced(instance);
    }
    // Without ray-cast instances the rectangle keeps last frame's value; nothing reads it then.
    if (view.raytracedCount == 0)
        return;
    std::vector<const Float3*> cornerSets;
    cornerSets.reserve(view.raytracedCount);
    for (uint32_t i = 0; i < view.raytracedCount; ++i)
        cornerSets.push_back(view.raytracedObjects[i]->obb.worldCorners);
    computeRaytracedRect(view, cornerSets);
}

}  // namespace

void updateVisibleSets(Scene& scene)
{
    for (SceneView* view : scene.views)
        updateView(*view, scene.instances);
}

}  // namespace Orvanta
