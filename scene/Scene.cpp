#include "scene/Scene.h"

#include <algorithm>

namespace Orvanta {

void Scene::unregisterView(SceneView* view)
{
    views.erase(std::remove(views.begin(), views.end(), view), views.end());
}

Scene& scene()
{
    static Scene instance;
    return instance;
}

}  // namespace Orvanta
