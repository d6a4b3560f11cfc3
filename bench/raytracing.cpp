// What the ray-traced reflections and refractions cost in the demo's frame: renders the start
// view headless at 1280 x 720 (or --width/--height) for a few frames with refraction on, then as
// many with it off, and prints for each the traced region, the reflection and refraction rays per
// frame, and the times of reading the rays back, tracing them on the four workers, uploading the
// hits and lighting them. Run from the source root (it loads the demo scene).
//
//   bench_raytracing [--width W] [--height H] [--frames N]
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneVisibility.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlExtensions.h"
#include "raytracing/RayTracer.h"
#include "renderer/Renderer.h"
#include "scene/Scene.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Orvanta;

namespace {

struct Totals {
    RayTracingFrameStats sum;
    double frameMilliseconds = 0.0;
    int traced = 0;
};

// Frames of the start view; the first compiles shaders and warms caches and is not counted.
Totals measure(Renderer& renderer, int frames)
{
    Totals totals;
    for (int frame = 0; frame < frames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        updateVisibleSets(scene());
        const uint64_t readBacks = renderer.rayTracingSet().readBackCount;
        renderer.renderFrame();
        glFinish();
        const double milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        frameTimer().elapsedSeconds = float(milliseconds / 1000.0);
        if (frame == 0 || renderer.rayTracingSet().readBackCount == readBacks)
            continue;
        const RayTracingFrameStats& s = renderer.rayTracingSet().lastFrame;
        totals.sum.region = s.region;
        totals.sum.rays += s.rays;
        totals.sum.refractionRays += s.refractionRays;
        totals.sum.readBackMilliseconds += s.readBackMilliseconds;
        totals.sum.traceMilliseconds += s.traceMilliseconds;
        totals.sum.uploadMilliseconds += s.uploadMilliseconds;
        totals.frameMilliseconds += milliseconds;
        ++totals.traced;
    }
    return totals;
}

void print(const char* title, const Totals& t, const RayTracer& tracer)
{
    const double n = t.traced;
    const double trace = t.sum.traceMilliseconds / n;
    const double rays = double(t.sum.rays + t.sum.refractionRays) / n;
    std::printf("%s, %d traced frames after one warm-up\n", title, t.traced);
    std::printf("  %-40s %u x %u at (%u, %u)\n", "traced region", t.sum.region.width, t.sum.region.height,
                t.sum.region.x, t.sum.region.y);
    std::printf("  %-40s %.0f\n", "reflection rays per frame", double(t.sum.rays) / n);
    std::printf("  %-40s %.0f\n", "refraction rays per frame", double(t.sum.refractionRays) / n);
    std::printf("  %-40s %.3f ms\n", "read-back (read pixels, map)", t.sum.readBackMilliseconds / n);
    std::printf("  %-40s %.3f ms (%.2f Mrays/s)\n",
                ("trace on " + std::to_string(tracer.workerCount()) + " workers").c_str(), trace,
                trace > 0.0 ? rays / (trace * 1e3) : 0.0);
    std::printf("  %-40s %.3f ms\n", "upload (unmap, texture update)", t.sum.uploadMilliseconds / n);
    std::printf("  %-40s %.3f ms\n", "whole frame (GPU finished)", t.frameMilliseconds / n);
}

}  // namespace

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
            std::fprintf(stderr, "usage: bench_raytracing [--width W] [--height H] [--frames N]\n");
            return 2;
        }
    }
    if (width < 2 || height < 2 || frames < 2) {
        std::fprintf(stderr, "bench_raytracing: the size must be at least 2 x 2 and frames at least 2\n");
        return 2;
    }
    Window::requestHeadless(width, height);
    OrvantaApplication application;
    if (!application.initInstance(nullptr, false))
        return 1;
    Renderer& renderer = mainWindow().renderer();
    const RayTracer& tracer = rayTracer();
    renderer.setRenderSetting(Refraction, true);
    const Totals on = measure(renderer, frames);
    renderer.setRenderSetting(Refraction, false);
    const Totals off = measure(renderer, frames);
    std::printf("ray tracing of the start view at %d x %d (tracing %u x %u), %u ray-traced instances in view\n", width,
                height, tracer.width(), tracer.height(), renderer.camera().raytracedCount);
    if (on.traced == 0 || off.traced == 0) {
        std::printf("no frame traced: no ray-traced instance in view\n");
        return 1;
    }
    print("refraction on", on, tracer);
    print("refraction off", off, tracer);
    return 0;
}
