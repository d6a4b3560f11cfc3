#include "DemoScene.h"

#include "renderer/StartCamera.h"
#include "scene/Camera.h"

using namespace Orvanta;

namespace OrvantaBench {

void keepTrianglesInside(const RayTracingGeometry& source, Float3 lo, Float3 hi, RayTracingGeometry& out)
{
    out.vertices = source.vertices;
    out.triangles.clear();
    for (const RtTriangle& t : source.triangles)
        if (t.boxMin.x >= lo.x && t.boxMax.x <= hi.x && t.boxMin.z >= lo.z && t.boxMax.z <= hi.z)
            out.triangles.push_back(t);
}

Float3 ViewRays::through(int x, int y, int width, int height) const
{
    return frustumRay(frustum, (float(x) + 0.5f) / float(width), (float(y) + 0.5f) / float(height));
}

ViewRays startView(float aspectRatio)
{
    Camera camera;
    placeAtStartView(camera, aspectRatio);
    return {camera.position, camera.frustum};
}

}  // namespace OrvantaBench
