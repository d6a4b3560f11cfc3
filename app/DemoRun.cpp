#include "app/DemoRun.h"

#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "overlay/ControlPanel.h"
#include "platform/FileAccess.h"
#include "platform/gl/GlDebug.h"
#include "platform/Log.h"
#include "renderer/FrameTimings.h"
#include "renderer/PassTimer.h"
#include "renderer/Renderer.h"
#include "renderer/SceneFraming.h"

#include <cstdio>

namespace Orvanta {

namespace {

// Places the camera and the sun as the options say: the given camera, the start of the flown
// path, or (for another scene than the kindergarten) a view framing the whole scene.
void poseDemo(const DemoOptions& options, const CameraPath& flight, Renderer& renderer)
{
    ControlPanel& panel = controlPanel();
    if (options.hasTimeOfDay || options.hasInclination)
        setSunSliders(panel, renderer, options.hasTimeOfDay ? options.timeOfDay : panel.sliders[timeOfDaySlider].value,
                      options.hasInclination ? options.inclination : panel.sliders[sunInclinationSlider].value);
    std::string error;
    if (options.hasCamera) {
        renderer.setCameraPose(options.cameraPosition, options.cameraOrientation);
    } else if (!flight.keys.empty()) {
        const CameraPose start = flight.keys.front().pose;
        renderer.setCameraPose(start.position, start.orientation);
    } else if (!isKindergartenScene(options.scene.c_str()) && !frameLoadedScene(renderer, error)) {
        logError(options.scene + ": " + error + "; the camera starts where the kindergarten's does");
    }
}

// The benchmark's results: the statistics on standard output, the frames' times as CSV.
bool reportBenchmark(const DemoOptions& options, const CameraPath& flight, const FrameTimings& timings, bool completed)
{
    std::printf("benchmark %s: %zu frames over %.2f s of path%s\n", options.benchmarkPath.c_str(), timings.frameCount(),
                double(flight.duration()), completed ? "" : " (stopped before its end)");
    std::printf("%s", timings.summaryTable().c_str());
    if (options.csvPath.empty())
        return true;
    const std::string csv = timings.csv();
    std::string error;
    if (!writeFileAtomically(options.csvPath, std::vector<uint8_t>(csv.begin(), csv.end()), error)) {
        std::fprintf(stderr, "orvanta: %s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s\n", options.csvPath.c_str());
    return true;
}

}  // namespace

int runDemo(const DemoOptions& options)
{
    CameraPath flight;
    std::string error;
    if (!checkDemoFiles(options, flight, error)) {
        std::fprintf(stderr, "orvanta: %s\n", error.c_str());
        return 2;
    }
    if (options.debug)
        setGlDebug(true);
    if (options.windowed())
        Window::requestWindowed(options.windowWidth, options.windowHeight);
    OrvantaApplication application;
    if (!application.initInstance(options.scene.empty() ? nullptr : options.scene.c_str()))
        return mainWindow().contextLacksRequirements() ? 2 : 1;
    if (!isKindergartenScene(options.scene.c_str()))
        logInfo("the ambience sounds belong to the kindergarten: with " + options.scene + " the demo is silent");
    poseDemo(options, flight, mainWindow().renderer());
    FrameTimings timings;
    if (!flight.keys.empty())
        application.flyPath(flight, options.benchmarkPath.empty() ? nullptr : &timings);
    int exitCode = application.run();
    if (!options.benchmarkPath.empty() && !reportBenchmark(options, flight, timings, application.flightCompleted()))
        exitCode = 1;
    if (options.debug && glErrorTotal() > 0) {
        std::fprintf(stderr, "orvanta: %d GL errors (see the messages above)\n", glErrorTotal());
        exitCode = 3;
    }
    return exitCode;
}

}  // namespace Orvanta
