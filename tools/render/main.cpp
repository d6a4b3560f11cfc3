// Renders the demo's start-up scene, or the scene file given with --scene, headless and writes the
// window's image as a PNG, printing the time of every pass.
#include "HeadlessScene.h"
#include "RenderOptions.h"
#include "SimulatedClock.h"

#include "platform/HdrImage.h"
#include "platform/gl/GlDebug.h"
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneFile.h"
#include "overlay/ControlPanel.h"
#include "platform/HeadlessContext.h"
#include "platform/ProcessMemory.h"
#include "renderer/PassTimer.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"
#include "content/SceneVisibility.h"
#include "scene/Scene.h"

#include <cstdio>
#include <map>

using namespace Orvanta;

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "orvanta-render: %s\n%s", error.c_str(), renderUsage());
        return 2;
    }
    if (options.help) {
        std::printf("%s", renderUsage());
        return 0;
    }
    if (options.debug)
        setGlDebug(true);
    OrvantaApplication application;
    if (!startHeadlessScene(options, application, error)) {
        std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
        return 1;
    }
    Window& window = mainWindow();
    Renderer& renderer = window.renderer();
    // After the window, which installs its own input on opening.
    SimulatedClock clock(options.frameSeconds);
    clock.install();

    PassTimer timer;
    renderer.setPassTimer(&timer);
    std::vector<std::string> order;
    std::map<std::string, double> first, rest;
    for (int frame = 0; frame < options.frames; ++frame) {
        clock.advanceFrame();
        updateVisibleSets(scene());
        timer.beginFrame();
        renderer.renderFrame();
        for (const PassTimer::Sample& sample : timer.endFrame()) {
            if (frame == 0) {
                order.push_back(sample.pass);
                first[sample.pass] = sample.milliseconds;
            } else {
                rest[sample.pass] += sample.milliseconds;
            }
        }
        const int drawn = frame + 1;
        if (options.reportMemory && (drawn == 1 || drawn % 100 == 0 || drawn == options.frames)) {
            std::printf("frame %d: resident %llu KiB\n", drawn, (unsigned long long)(residentBytes() / 1024));
            std::fflush(stdout);
        }
    }
    std::printf("%dx%d, %d frames of %g s simulated time, %s timing\n", options.width, options.height,
                options.frames, options.frameSeconds, timer.usesGpuQueries() ? "GPU timestamp" : "CPU");
    std::printf("%-32s %12s %16s\n", "pass", "frame 1 ms", "later mean ms");
    for (const std::string& pass : order) {
        double mean = options.frames > 1 ? rest[pass] / (options.frames - 1) : 0.0;
        std::printf("%-32s %12.2f %16.2f\n", pass.c_str(), first[pass], mean);
    }
    const RayTracingFrameStats& traced = renderer.rayTracingSet().lastFrame;
    std::printf("ray tracing, last traced frame: region %ux%u at (%u, %u), %llu reflection and %llu refraction rays\n",
                traced.region.width, traced.region.height, traced.region.x, traced.region.y,
                static_cast<unsigned long long>(traced.rays), static_cast<unsigned long long>(traced.refractionRays));
    if (!options.hdrOutput.empty()) {
        const HdrImage frame = renderer.readLinearFrame();
        if (!writeExr(options.hdrOutput, frame, error)) {
            std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
            return 1;
        }
        std::printf("wrote %s (exposure %.9g)\n", options.hdrOutput.c_str(), frame.exposure.value_or(0.0f));
    }
    std::vector<uint8_t> pixels = window.headless()->readPixels();
    if (!writePng(options.output, options.width, options.height, pixels, error)) {
        std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s\n", options.output.c_str());
    return glErrorTotal() > 0 ? 3 : 0;
}
