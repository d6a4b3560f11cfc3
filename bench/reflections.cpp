// What the ray-traced reflections cost in the demo's frame: renders the start view headless at
// 1280 x 720 (or --width/--height) for a few frames and prints, per traced frame, the traced
// region, the rays traced, and the times of reading the rays back, tracing them on the four
// workers and uploading the hits. Run from the source root (it loads the demo scene).
//
//   bench_reflections [--width W] [--height H] [--frames N]
#include "platform/FrameTimer.h"
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "raytracing/RayTracer.h"
#include "renderer/Renderer.h"
#include "content/SceneVisibility.h"
#include "scene/Scene.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace Orvanta;

int main(int argc, char** argv)
{
    int width = 1280, height = 720, frames = 6;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && !std::strcmp(argv[i], "--width"))
            width = std::atoi(argv[++i]);
        else if (i + 1 < argc && !std::strcmp(argv[i], "--height"))
            height = std::atoi(argv[++i]);
        else if (i + 1 < argc && !std::strcmp(argv[i], "--frames"))
            frames = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: bench_reflections [--width W] [--height H] [--frames N]\n");
            return 2;
        }
    }
    if (width < 2 || height < 2 || frames < 2) {
        std::fprintf(stderr, "bench_reflections: the size must be at least 2 x 2 and frames at least 2\n");
        return 2;
    }
    Window::requestHeadless(width, height);
    OrvantaApplication application;
    if (!application.initInstance())
        return 1;
    Window& window = mainWindow();
    Renderer& renderer = window.renderer();

    RayTracingFrameStats sum;
    int traced = 0;
    for (int frame = 0; frame < frames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        updateVisibleSets(scene());
        const uint64_t readBacks = renderer.rayTracingSet().readBackCount;
        renderer.renderFrame();
        frameTimer().elapsedSeconds = std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
        // The first frame compiles shaders and warms caches; it is not counted.
        if (frame == 0 || renderer.rayTracingSet().readBackCount == readBacks)
            continue;
        const RayTracingFrameStats& s = renderer.rayTracingSet().lastFrame;
        sum.region = s.region;
        sum.rays += s.rays;
        sum.readBackMilliseconds += s.readBackMilliseconds;
        sum.traceMilliseconds += s.traceMilliseconds;
        sum.uploadMilliseconds += s.uploadMilliseconds;
        ++traced;
    }
    const RayTracer& tracer = rayTracer();
    std::printf("reflections of the start view at %d x %d (tracing %u x %u), %d traced frames after one warm-up\n",
                width, height, tracer.width(), tracer.height(), traced);
    if (traced == 0) {
        std::printf("no frame traced: no ray-traced instance in view\n");
        return 1;
    }
    const double n = traced;
    const double trace = sum.traceMilliseconds / n;
    std::printf("%-40s %u\n", "ray-traced instances in view", renderer.camera().raytracedCount);
    std::printf("%-40s %u x %u at (%u, %u), %u tiles\n", "traced region", sum.region.width, sum.region.height,
                sum.region.x, sum.region.y, tracer.tileCount());
    std::printf("%-40s %.0f\n", "rays traced per frame", double(sum.rays) / n);
    std::printf("%-40s %.3f ms\n", "read-back (read pixels, map)", sum.readBackMilliseconds / n);
    std::printf("%-40s %.3f ms (%.2f Mrays/s)\n",
                ("trace on " + std::to_string(tracer.workerCount()) + " workers").c_str(), trace,
                trace > 0.0 ? double(sum.rays) / n / (trace * 1e3) : 0.0);
    std::printf("%-40s %.3f ms\n", "upload (unmap, texture update)", sum.uploadMilliseconds / n);
    return 0;
}
