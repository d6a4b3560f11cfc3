#include "app/OrvantaApplication.h"

#include "app/DemoSteps.h"
#include "app/MainLoop.h"
#include "app/ReferenceView.h"
#include "app/Window.h"
#include "audio/AmbientSounds.h"
#include "audio/AudioOutput.h"
#include "audio/SoundList.h"
#include "audio/UpdateAudio.h"
#include "content/ObjectInstance.h"
#include "content/RayTracingSceneLoad.h"
#include "content/SceneLoader.h"
#include "content/SceneVisibility.h"
#include "content/SkyOcclusion.h"
#include "overlay/ControlPanel.h"
#include "overlay/PanelInteraction.h"
#include "platform/FrameTimer.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "raytracing/RayTracer.h"
#include "renderer/FoliageCrowns.h"
#include "renderer/Renderer.h"
#include "scene/Scene.h"

#include <chrono>

namespace Orvanta {

Window& mainWindow()
{
    static Window window;
    return window;
}

namespace {

// The audio device and context, open from start-up until the main loop ends.
AudioOutput& audioOutput()
{
    static AudioOutput output;
    return output;
}

}  // namespace

bool OrvantaApplication::initInstance(const char* scenePath, bool withSound)
{
    startupTimes = StartupTimes{};
    auto last = std::chrono::steady_clock::now();
    auto lap = [&last](double& stage) {
        const auto now = std::chrono::steady_clock::now();
        stage += std::chrono::duration<double>(now - last).count();
        last = now;
    };
    // The ray tracer's geometry and tree need no context: they load while the renderer starts.
    const std::string path = scenePath ? scenePath : sceneFilePath;
    RayTracingSceneLoad rayTracing(path, rayTracer().geometry, rayTracer().kdTree);
    Window& window = mainWindow();
    if (!window.open()) {
        logError("cannot start: " + window.contextError());
        return false;
    }
    Renderer& renderer = window.renderer();
    lap(startupTimes.renderer);
    SoundList& sounds = soundList();
    bool audio = withSound && openAudio(audioOutput());
    lap(startupTimes.audio);
    loadScene(path, scene().instances, rayTracer().geometry, rayTracer().kdTree, &startupTimes.scene, &rayTracing);
    renderer.setSkyOcclusionCorners(skyOcclusionCorners());
    renderer.setSkyFoliage(foliageCrowns(scene().instances));
    last = std::chrono::steady_clock::now();  // the scene's stages are timed inside
    if (ObjectInstance* sky = createObjectInstance(skyObjectPath, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}))
        scene().instances.push_back(sky);
    lap(startupTimes.sky);
    if (audio && isKindergartenScene(scenePath))
        startAmbientSounds(sounds);
    lap(startupTimes.sounds);
    loadPanel(controlPanel(), renderer);
    lap(startupTimes.panel);
    return true;
}

int OrvantaApplication::run()
{
    int exitCode = 0;
    {
        DemoSteps steps(mainWindow().renderer(), controlPanel(), audioOutput().isOpen());
        if (flight)
            steps.flyPath(*flight, flightTimings);
        exitCode = runMainLoop(steps, frameTimer());
        flightDone = steps.flightDone();
    }
    closeAudio(audioOutput(), soundList());
    return exitCode;
}

void OrvantaApplication::flyPath(const CameraPath& path, FrameTimings* timings)
{
    flight = &path;
    flightTimings = timings;
}

bool isKindergartenScene(const char* scenePath)
{
    return !scenePath || !*scenePath || std::string(scenePath) == sceneFilePath;
}

}  // namespace Orvanta
