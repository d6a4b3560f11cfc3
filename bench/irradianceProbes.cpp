// What the irradiance probes cost and how fast they follow the sun: renders a view headless with
// the probes on (the start view, or --camera) and prints the settling of the first frame, the
// probes and rays of each later frame's update and its time on the ray tracer's workers beside the
// reflections' tracing time, then moves the sun (--sun-step radians of time of day) and counts the
// frames until the frame's mean luminance stays within 2% of where it settles. Run from the source
// root (it loads the demo scene).
//
//   bench_irradianceProbes [--width W] [--height H] [--frames N] [--camera x,y,z,qx,qy,qz,qw]
//                          [--sun-step RADIANS] [--after-step N] [--exposure E]
//
// The frames are tone-mapped at the fixed exposure E (default 1) without anti-aliasing (whose
// jitter would change a still view's frames by itself) and without the overlay; the change of a
// still view between frames is the mean over the window's 8-bit colour channels.
#include "app/OptionValues.h"
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneVisibility.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "raytracing/PathSampling.h"
#include "raytracing/RayTracer.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"
#include "scene/Scene.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace Orvanta;

namespace {

double frameLuminance(Renderer& renderer)
{
    const HdrImage image = renderer.readLinearFrame();
    double sum = 0.0;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        sum += luminanceOf({image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]});
    return image.rgb.empty() ? 0.0 : sum / double(image.rgb.size() / 3);
}

double meanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double sum = 0.0;
    size_t count = 0;
    // RGBA pixels: the alpha channel is left out.
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (i % 4 != 3) {
            sum += std::abs(int(a[i]) - int(b[i]));
            ++count;
        }
    return count == 0 ? 0.0 : sum / double(count);
}

double renderTimed(Renderer& renderer)
{
    const auto start = std::chrono::steady_clock::now();
    updateVisibleSets(scene());
    renderer.renderFrame();
    glFinish();
    const double milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    frameTimer().elapsedSeconds = float(milliseconds / 1000.0);
    return milliseconds;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 1280, height = 720, frames = 8, afterStep = 90;
    float sunStep = 0.5f, exposure = 1.0f;
    std::string camera;
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (value && !std::strcmp(argv[i], "--width"))
            width = std::atoi(argv[++i]);
        else if (value && !std::strcmp(argv[i], "--height"))
            height = std::atoi(argv[++i]);
        else if (value && !std::strcmp(argv[i], "--frames"))
            frames = std::atoi(argv[++i]);
        else if (value && !std::strcmp(argv[i], "--after-step"))
            afterStep = std::atoi(argv[++i]);
        else if (value && !std::strcmp(argv[i], "--sun-step"))
            sunStep = float(std::atof(argv[++i]));
        else if (value && !std::strcmp(argv[i], "--exposure"))
            exposure = float(std::atof(argv[++i]));
        else if (value && !std::strcmp(argv[i], "--camera"))
            camera = argv[++i];
        else {
            std::fprintf(stderr, "usage: bench_irradianceProbes [--width W] [--height H] [--frames N] "
                                 "[--camera x,y,z,qx,qy,qz,qw] [--sun-step RADIANS] [--after-step N] [--exposure E]\n");
            return 2;
        }
    }
    if (width < 2 || height < 2 || frames < 2 || afterStep < 20) {
        std::fprintf(stderr, "bench_irradianceProbes: the size must be at least 2 x 2, frames at least 2 and "
                             "--after-step at least 20\n");
        return 2;
    }
    Window::requestHeadless(width, height);
    OrvantaApplication application;
    if (!application.initInstance(nullptr, false))
        return 1;
    Renderer& renderer = mainWindow().renderer();
    if (!camera.empty()) {
        Float3 position;
        Quaternion orientation;
        if (!parseCameraPose(camera, position, orientation)) {
            std::fprintf(stderr, "bench_irradianceProbes: --camera '%s' is not x,y,z,qx,qy,qz,qw\n", camera.c_str());
            return 2;
        }
        renderer.setCameraPose(position, orientation);
    }
    // A fixed exposure: the eye's adaptation would hide the light settling.
    renderer.setFixedExposure(exposure > 0.0f ? exposure : 1.0f);
    renderer.setRenderSetting(AntiAliasing, false);
    renderer.attachOverlay(nullptr);
    renderer.setRenderSetting(IrradianceProbes, true);
    const IrradianceProbeSet& probes = renderer.irradianceProbeSet();
    const double first = renderTimed(renderer);
    std::printf("irradiance probes at %d x %d, %d probes one every %.2f m\n", width, height,
                probes.field ? probes.field->probeCount() : 0, double(IrradianceProbeSet::layout.spacing));
    std::printf("  %-44s %.0f ms (%llu rays, %u probe updates)\n", "first frame, settling the grid", first,
                (unsigned long long)probes.lastUpdate.rays, probes.lastUpdate.probes);
    double update = 0.0, reflections = 0.0, frameTime = 0.0;
    uint64_t rays = 0;
    for (int f = 1; f < frames; ++f) {
        frameTime += renderTimed(renderer);
        update += probes.lastUpdateMilliseconds;
        rays += probes.lastUpdate.rays;
        reflections += renderer.rayTracingSet().lastFrame.traceMilliseconds;
    }
    const double n = double(frames - 1);
    const std::vector<uint8_t> before = mainWindow().headless()->readPixels();
    renderTimed(renderer);
    const double change = meanDifference(before, mainWindow().headless()->readPixels());
    std::printf("  %-44s %.0f\n", "probe rays per frame (probe, shadow, passing)", double(rays) / n);
    std::printf("  %-44s %.3f ms (%.2f Mrays/s)\n",
                ("probe update on " + std::to_string(rayTracer().workerCount()) + " workers").c_str(), update / n,
                update > 0.0 ? double(rays) / (update * 1e3) : 0.0);
    std::printf("  %-44s %.3f ms\n", "reflections' tracing", reflections / n);
    std::printf("  %-44s %.3f ms\n", "whole frame (GPU finished)", frameTime / n);
    std::printf("  %-44s %.3f of 255\n", "mean change of the still view between frames", change);

    const SunLight* sun = renderer.sun();
    if (!sun)
        return 0;
    renderer.moveSun(sun->timeOfDay + sunStep, sun->inclination);
    std::vector<double> luminance;
    for (int f = 0; f < afterStep; ++f) {
        renderTimed(renderer);
        luminance.push_back(frameLuminance(renderer));
    }
    // Settled: the mean of the last ten frames; the count is of frames until every later one
    // stays within 2% of it.
    double settled = 0.0;
    for (size_t i = luminance.size() - 10; i < luminance.size(); ++i)
        settled += luminance[i] / 10.0;
    size_t within = luminance.size();
    while (within > 0 && std::fabs(luminance[within - 1] - settled) <= 0.02 * settled)
        --within;
    std::printf("  %-44s %zu (of %d; mean luminance %.4f settled)\n", "frames to within 2% after the sun moved",
                within + 1, afterStep, settled);
    return 0;
}
