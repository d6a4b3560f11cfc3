#pragma once
#include <vector>

namespace Orvanta {

class ObjectInstance;
struct SceneView;

// The loaded world: every object instance (scene file order, then the sky) and every registered
// scene view. Instances are owned here for the life of the process; views belong to their owners
// and register themselves when constructed.
class Scene {
public:
    std::vector<ObjectInstance*> instances;
    std::vector<SceneView*> views;

    void registerView(SceneView* view) { views.push_back(view); }
    // Removes a view that is being destroyed; unknown views are ignored.
    void unregisterView(SceneView* view);
};

Scene& scene();

}  // namespace Orvanta
