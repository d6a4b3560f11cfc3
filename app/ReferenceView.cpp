#include "app/ReferenceView.h"

#include "platform/HdrImage.h"
#include "platform/Log.h"
#include "raytracing/RayTracer.h"
#include "raytracing/SkyEnvironment.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

#include <cmath>

namespace Orvanta {

void ReferenceView::toggle(Renderer& renderer, RayTracer& tracer)
{
    if (isActive) {
        isActive = false;
        return;
    }
    if (!renderer.sun() || tracer.kdTree.nodes.empty() || !tracer.kdTree.geometry) {
        logError("reference view: the scene has no traced geometry or no sun");
        return;
    }
    if (!haveTree) {
        twoSided = twoSidedCopy(tracer.kdTree);
        haveTree = true;
    }
    sky = renderer.captureSkyEnvironment();
    exposure = renderer.toneMapExposure();
    const uint64_t pixels = uint64_t(renderer.width()) * uint64_t(renderer.height());
    blockSize = std::max<uint32_t>(1, uint32_t(std::ceil(std::sqrt(double(pixels) / double(kPathsPerFrame)))));
    image.reset(uint32_t(renderer.width() + int(blockSize) - 1) / blockSize,
                uint32_t(renderer.height() + int(blockSize) - 1) / blockSize);
    const RenderCamera& camera = renderer.camera();
    cameraPosition = camera.position;
    cameraOrientation = camera.orientation;
    timeOfDay = renderer.sun()->timeOfDay;
    inclination = renderer.sun()->inclination;
    windowWidth = renderer.width();
    windowHeight = renderer.height();
    isActive = true;
}

bool ReferenceView::moved(const Renderer& renderer) const
{
    const RenderCamera& camera = renderer.camera();
    return !(camera.position == cameraPosition) || !(camera.orientation == cameraOrientation) ||
           renderer.sun()->timeOfDay != timeOfDay || renderer.sun()->inclination != inclination ||
           renderer.width() != windowWidth || renderer.height() != windowHeight;
}

bool ReferenceView::renderFrame(Renderer& renderer, RayTracer& tracer)
{
    if (!isActive)
        return false;
    if (moved(renderer)) {
        isActive = false;
        return false;
    }
    ReferenceScene scene;
    scene.tree = &twoSided;
    scene.sky = &sky;
    // The camera's frustum spans the whole picture whatever its resolution, so the traced image at
    // the reduced size shows exactly the window's view.
    traceReferenceSamples(scene, renderer.camera(), image, 1, tracer.workerPool());

    // Each traced pixel fills its block of the window.
    HdrImage shown;
    shown.width = renderer.width();
    shown.height = renderer.height();
    shown.rgb.resize(size_t(shown.width) * size_t(shown.height) * 3);
    const std::vector<float> mean = image.mean();
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            const size_t from = (size_t(y / int(blockSize)) * image.width + size_t(x / int(blockSize))) * 3;
            const size_t to = (size_t(y) * size_t(shown.width) + size_t(x)) * 3;
            shown.rgb[to] = mean[from];
            shown.rgb[to + 1] = mean[from + 1];
            shown.rgb[to + 2] = mean[from + 2];
        }
    std::string error;
    if (!renderer.presentLinearImage(shown, exposure, error)) {
        logError("reference view: " + error);
        isActive = false;
        return false;
    }
    return true;
}

}  // namespace Orvanta
