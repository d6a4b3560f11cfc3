#include "DemoScene.h"

#include "content/SceneFile.h"
#include "gpu/TextParser.h"
#include "renderer/StartCamera.h"
#include "scene/Camera.h"

#include <algorithm>
#include <cstdio>
#include <map>

using namespace Orvanta;

namespace OrvantaBench {

namespace {

SurfaceFlags flagsFromMaterialText(const std::string& path)
{
    static std::map<std::string, SurfaceFlags> cache;
    auto found = cache.find(path);
    if (found != cache.end())
        return found->second;
    SurfaceFlags flags;
    if (std::unique_ptr<TextNode> root = parseFile(path)) {
        for (const TextNode& child : root->children) {
            if (child.kind != TextNode::Value)
                continue;
            if (child.name == "isTransparent")
                flags.isTransparent = child.value == "true";
            else if (child.name == "isDoubleSided")
                flags.isDoubleSided = child.value == "true";
        }
    }
    cache[path] = flags;
    return flags;
}

}  // namespace

bool loadSceneGeometry(const std::string& scenePath, LoadedScene& scene)
{
    SceneFileData file;
    std::string error;
    if (!readSceneFile(scenePath, file, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    scene.tag = file.sceneTag;
    const std::string directory = sceneDirectory(scenePath);
    for (const SceneInstanceRecord& record : file.instances)
        appendInstanceGeometry(scene.geometry, directory + record.objectName, record.position,
                               record.scale, record.orientation, flagsFromMaterialText);
    return true;
}

void keepTrianglesInside(const RayTracingGeometry& source, Float3 lo, Float3 hi,
                         RayTracingGeometry& out)
{
    out.vertices = source.vertices;
    out.triangles.clear();
    for (const RtTriangle& t : source.triangles)
        if (t.boxMin.x >= lo.x && t.boxMax.x <= hi.x && t.boxMin.z >= lo.z && t.boxMax.z <= hi.z)
            out.triangles.push_back(t);
}

Float3 ViewRays::through(int x, int y, int width, int height) const
{
    const float fx = (float(x) + 0.5f) / float(width), fy = (float(y) + 0.5f) / float(height);
    const Float3 top = corners[0] * (1.0f - fx) + corners[1] * fx;
    const Float3 bottom = corners[2] * (1.0f - fx) + corners[3] * fx;
    return top * (1.0f - fy) + bottom * fy;
}

ViewRays startView(float aspectRatio)
{
    Camera camera;
    camera.fieldOfView = 60.0f;
    camera.aspectRatio = aspectRatio;
    camera.nearDistance = 0.1f;
    camera.farDistance = 10000.0f;
    camera.setPosition(kStartCameraPosition);
    camera.setOrientation(kStartCameraOrientation);
    camera.updateTransform();
    camera.updateMatrices();
    ViewRays view;
    view.eye = camera.position;
    for (int i = 0; i < 4; ++i)
        view.corners[i] = camera.frustum.cornerRays[i];
    return view;
}

}  // namespace OrvantaBench
