#include "renderer/SceneFraming.h"

#include "raytracing/RayTracer.h"
#include "renderer/Renderer.h"
#include "scene/CameraFraming.h"
#include "scene/Light.h"

namespace Orvanta {

bool frameLoadedScene(Renderer& renderer, std::string& error)
{
    const KdTree& tree = rayTracer().kdTree;
    const Float3 sunDirection = renderer.sun() ? renderer.sun()->direction : Float3{0.0f, -1.0f, 0.0f};
    if (tree.nodes.empty() || !frameBox(renderer.camera(), tree.rootBox.boxMin, tree.rootBox.boxMax, sunDirection)) {
        error = "the scene has no opaque triangles to frame";
        return false;
    }
    return true;
}

}  // namespace Orvanta
