// Times the sky lighting volume in the demo's start view on the current GL implementation: the
// whole rebuild of the first frame, the one slice a frame that follows a sun move, and the apply
// pass at the picture size (default 1280 x 720; `bench_skyLighting WIDTH HEIGHT`). Run from the
// source root after a build (it reads the generated content under resources/).
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneVisibility.h"
#include "content/SkyOcclusion.h"
#include "platform/FrameTimer.h"
#include "platform/HeadlessContext.h"
#include "renderer/PassTimer.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"
#include "scene/Scene.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace Orvanta;

namespace {

// Renders one frame and returns the time of the named pass (0 when it did not run).
double frameAndPass(Renderer& renderer, PassTimer& timer, const std::string& pass, double* applyMs)
{
    frameTimer().elapsedSeconds = 0.05f;
    updateVisibleSets(scene());
    timer.beginFrame();
    renderer.renderFrame();
    double ms = 0.0;
    for (const PassTimer::Sample& sample : timer.endFrame()) {
        if (sample.pass == pass)
            ms = sample.milliseconds;
        if (applyMs && sample.pass == "sky lighting")
            *applyMs = sample.milliseconds;
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = argc > 2 ? std::atoi(argv[1]) : 1280;
    int height = argc > 2 ? std::atoi(argv[2]) : 720;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: bench_skyLighting [WIDTH HEIGHT]\n");
        return 2;
    }
    Window::requestHeadless(width, height);
    OrvantaApplication application;
    if (!application.initInstance(nullptr, false)) {
        std::fprintf(stderr, "bench_skyLighting: the demo did not start (no OpenGL context)\n");
        return 1;
    }
    Window& window = mainWindow();
    Renderer& renderer = window.renderer();
    std::printf("GL: %s\n", window.headless()->description().c_str());
    PassTimer timer;
    renderer.setPassTimer(&timer);
    std::printf("%s timing, %d x %d, %zu occlusion quads\n", timer.usesGpuQueries() ? "GPU timestamp" : "CPU", width,
                height, skyOcclusionCorners().size() / 4);

    double whole = frameAndPass(renderer, timer, "sky lighting volume", nullptr);
    std::printf("%-44s %10.2f ms\n", "whole volume (17 slices, first frame)", whole);
    // The first frame also pays for compiling the programs; handing the same quads over again asks
    // for another whole rebuild with everything warm.
    renderer.setSkyOcclusionCorners(skyOcclusionCorners());
    whole = frameAndPass(renderer, timer, "sky lighting volume", nullptr);
    std::printf("%-44s %10.2f ms\n", "whole volume again, programs warm", whole);

    const int repeats = 3;
    double sliceTotal = 0.0, applyTotal = 0.0;
    int slices = 0, applies = 0;
    for (int r = 0; r < repeats; ++r) {
        renderer.moveSun(renderer.sun()->timeOfDay + 0.01f, renderer.sun()->inclination);
        for (int frame = 0; frame < 17; ++frame) {
            double apply = 0.0;
            sliceTotal += frameAndPass(renderer, timer, "sky lighting volume", &apply);
            applyTotal += apply;
            ++slices;
            ++applies;
        }
    }
    double idle = frameAndPass(renderer, timer, "sky lighting volume", nullptr);
    std::printf("%-44s %10.3f ms\n", "one slice a frame after a sun move (mean)", sliceTotal / slices);
    std::printf("%-44s %10.3f ms\n", "volume step once the rebuild is done", idle);
    std::printf("%-44s %10.3f ms\n", "apply pass (mean)", applyTotal / applies);
    return 0;
}
