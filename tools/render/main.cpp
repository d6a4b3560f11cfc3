// Renders the demo's start-up scene, or the scene file given with --scene, headless and writes the
// window's image as a PNG, printing the time of every pass.
#include "HeadlessScene.h"
#include "RenderOptions.h"
#include "SimulatedClock.h"

#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneFile.h"
#include "content/SceneVisibility.h"
#include "gpu/ShaderProgram.h"
#include "overlay/ControlPanel.h"
#include "platform/FileAccess.h"
#include "platform/gl/GlDebug.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "platform/ProcessMemory.h"
#include "renderer/FrameTimings.h"
#include "renderer/PassTimer.h"
#include "renderer/Renderer.h"
#include "scene/CameraPath.h"
#include "scene/Light.h"
#include "scene/Scene.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

using namespace Orvanta;

namespace {

// In an output name, the place of the frame's number along a camera path.
const char* const kFrameNumberField = "%04d";

std::string frameOutputName(std::string name, int frame)
{
    char number[16];
    std::snprintf(number, sizeof number, "%04d", frame);
    return name.replace(name.find(kFrameNumberField), std::strlen(kFrameNumberField), number);
}

// The path time of frame `frame` of `frames`: evenly spaced from the first key to the last; a
// single frame shows the last key. Without a path, 0.
double framePathTime(const CameraPath& path, int frame, int frames)
{
    if (path.keys.empty())
        return 0.0;
    if (frames <= 1)
        return path.endTime();
    return path.startTime() + double(path.duration()) * frame / (frames - 1);
}

bool writeFrame(const std::string& name, Window& window, const RenderOptions& options, std::string& error)
{
    if (!writePng(name, options.width, options.height, window.headless()->readPixels(), error))
        return false;
    std::printf("wrote %s\n", name.c_str());
    return true;
}

}  // namespace

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
    CameraPath path;
    if (!options.cameraPath.empty() && !readCameraPathFile(options.cameraPath, path, error)) {
        std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
        return 2;
    }
    if (options.debug)
        setGlDebug(true);
    if (!options.shaderDump.empty()) {
        std::error_code failed;
        std::filesystem::create_directories(options.shaderDump, failed);
        if (failed) {
            std::fprintf(stderr, "orvanta-render: --dump-shaders: cannot make %s: %s\n", options.shaderDump.c_str(),
                         failed.message().c_str());
            return 1;
        }
        setShaderDumpFolder(options.shaderDump);
    }
    OrvantaApplication application;
    if (!startHeadlessScene(options, application, error)) {
        std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
        return mainWindow().contextLacksRequirements() ? 2 : 1;
    }
    Window& window = mainWindow();
    Renderer& renderer = window.renderer();
    std::printf("GL: %s\n", window.headless()->description().c_str());
    // After the window, which installs its own input on opening.
    SimulatedClock clock(options.frameSeconds);
    clock.install();

    PassTimer timer;
    renderer.setPassTimer(&timer);
    std::vector<std::string> order;
    std::map<std::string, double> first, rest;
    FrameTimings timings;
    for (int frame = 0; frame < options.frames; ++frame) {
        clock.advanceFrame();
        const double pathTime = framePathTime(path, frame, options.frames);
        if (!path.keys.empty()) {
            const CameraPose pose = cameraPoseAt(path, static_cast<float>(pathTime));
            renderer.setCameraPose(pose.position, pose.orientation);
        }
        updateVisibleSets(scene());
        timer.beginFrame();
        renderer.renderFrame();
        const std::vector<PassTimer::Sample> samples = timer.endFrame();
        if (options.benchmark)
            timings.addFrame(pathTime, samples);
        if (!path.keys.empty() && options.output.find(kFrameNumberField) != std::string::npos &&
            !writeFrame(frameOutputName(options.output, frame), window, options, error)) {
            std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
            return 1;
        }
        for (const PassTimer::Sample& sample : samples) {
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
    std::printf("%dx%d, %d frames of %g s simulated time, %s timing\n", options.width, options.height, options.frames,
                options.frameSeconds, timer.usesGpuQueries() ? "GPU timestamp" : "CPU");
    std::printf("%-32s %12s %16s\n", "pass", "frame 1 ms", "later mean ms");
    for (const std::string& pass : order) {
        double mean = options.frames > 1 ? rest[pass] / (options.frames - 1) : 0.0;
        std::printf("%-32s %12.2f %16.2f\n", pass.c_str(), first[pass], mean);
    }
    if (options.benchmark) {
        std::printf("benchmark %s: %d frames over %.2f s of path\n%s", options.cameraPath.c_str(), options.frames,
                    double(path.duration()), timings.summaryTable().c_str());
        const std::string csv = timings.csv();
        if (!options.csvOutput.empty()) {
            if (!writeFileAtomically(options.csvOutput, std::vector<uint8_t>(csv.begin(), csv.end()), error)) {
                std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
                return 1;
            }
            std::printf("wrote %s\n", options.csvOutput.c_str());
        }
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
    if (options.output.find(kFrameNumberField) == std::string::npos || path.keys.empty()) {
        if (!writeFrame(options.output, window, options, error)) {
            std::fprintf(stderr, "orvanta-render: %s\n", error.c_str());
            return 1;
        }
    }
    return glErrorTotal() > 0 ? 3 : 0;
}
