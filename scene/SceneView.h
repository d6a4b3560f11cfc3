#pragma once
#include <cstdint>

namespace Orvanta {

class Camera;
class ObjectInstance;

// The per-view set of object instances that survived frustum culling this frame, and those of
// them that need ray casting. Render passes walk the first visibleCount entries in order. A view
// registers itself with the scene when constructed and leaves it when destroyed; it is identified
// by its address, so it cannot be copied.
struct SceneView {
    static constexpr uint32_t maxVisibleObjects = 1000;
    static constexpr uint32_t maxRaytracedObjects = 100;

    explicit SceneView(Camera* camera);
    ~SceneView();
    SceneView(const SceneView&) = delete;
    SceneView& operator=(const SceneView&) = delete;

    // Empties both sets; the ray-traced rectangle keeps its value.
    void clearVisibleSets();
    // Append one instance. When the array is full the instance is left out, the call returns
    // false and the first overflow of each array is logged once for the life of the view.
    // Callers add an instance to the ray-traced set only after addVisible accepted it.
    bool addVisible(ObjectInstance* instance);
    bool addRaytraced(ObjectInstance* instance);

    Camera* camera = nullptr;
    ObjectInstance* visibleObjects[maxVisibleObjects] = {};
    uint32_t visibleCount = 0;
    ObjectInstance* raytracedObjects[maxRaytracedObjects] = {};
    uint32_t raytracedCount = 0;
    // Left, bottom, right, top in normalised screen coordinates 0..1: the part of the screen the
    // ray-traced instances cover. Meaningful only while raytracedCount is not 0.
    float raytracedRect[4] = {0.0f, 0.0f, 1.0f, 1.0f};

private:
    bool visibleOverflowReported = false;
    bool raytracedOverflowReported = false;
};

}  // namespace Orvanta
