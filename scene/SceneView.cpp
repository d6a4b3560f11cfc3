#include "scene/SceneView.h"

#include "platform/Log.h"
#include "scene/Scene.h"

#include <string>

namespace Orvanta {

SceneView::SceneView(Camera* viewCamera) : camera(viewCamera)
{
    scene().registerView(this);
}

SceneView::~SceneView()
{
    // Views normally live until exit, but one that goes away earlier (a test, a temporary pass)
    // must not leave a dangling pointer for the next visibility update.
    scene().unregisterView(this);
}

void SceneView::clearVisibleSets()
{
    visibleCount = 0;
    raytracedCount = 0;
}

namespace {

void reportOverflow(bool& reported, const char* setName, uint32_t capacity)
{
    if (reported)
        return;
    reported = true;
    logError(std::string("scene view: more than ") + std::to_string(capacity) + " " + setName +
             " object instances; the extra instances are left out");
}

}  // namespace

bool SceneView::addVisible(ObjectInstance* instance)
{
    if (visibleCount >= maxVisibleObjects) {
        reportOverflow(visibleOverflowReported, "visible", maxVisibleObjects);
        return false;
    }
    visibleObjects[visibleCount++] = instance;
    return true;
}

bool SceneView::addRaytraced(ObjectInstance* instance)
{
    if (raytracedCount >= maxRaytracedObjects) {
        reportOverflow(raytracedOverflowReported, "ray-traced", maxRaytracedObjects);
        return false;
    }
    raytracedObjects[raytracedCount++] = instance;
    return true;
}

}  // namespace Orvanta
