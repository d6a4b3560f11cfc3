#include "app/OrvantaApplication.h"

#include "platform/FrameTimer.h"
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
#include "content/SkyOcclusion.h"
#include "overlay/ControlPanel.h"
#include "overlay/PanelInteraction.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "raytracing/RayTracer.h"
#include "renderer/Renderer.h"
#include "content/SceneVisibility.h"
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

// The main loop's steps on the real subsystems.
class DemoSteps final : public MainLoopSteps {
public:
    explicit DemoSteps(Renderer& r) : renderer(r) {}

    uint32_t ticks() override { return platformInput().ticks(); }
    void applyKeyboardControls() override
    {
        applyKeyboardAndLook(renderer.camera(), controlPanel().mouse, frameTimer().elapsedSeconds);
    }
    void updateVisibleSets() override { Orvanta::updateVisibleSets(scene()); }
    void handleMouse() override { Orvanta::handleMouse(controlPanel(), renderer); }
    void updateAudio() override
    {
        if (audioOutput().isOpen())
            Orvanta::updateAudio(soundList(), renderer.camera());
    }
    bool escapePressed() override { return platformInput().queryKey(Key::Escape); }
    void renderFrame() override
    {
        // F2 acts once per press, as F1 does.
        const bool f2Down = platformInput().queryKey(Key::F2);
        if (f2Down && !f2WasDown)
            referenceView.toggle(renderer, rayTracer());
        f2WasDown = f2Down;
        if (!referenceView.renderFrame(renderer, rayTracer()))
            renderer.renderFrame();
    }
    bool pumpMessages() override { return platformInput().pumpMessages(); }

private:
    Renderer& renderer;
    ReferenceView referenceView;
    bool f2WasDown = false;
};

}  // namespace

bool OrvantaApplication::initInstance(const char* scenePath)
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
    bool audio = openAudio(audioOutput());
    lap(startupTimes.audio);
    loadScene(path, scene().instances, rayTracer().geometry, rayTracer().kdTree, &startupTimes.scene, &rayTracing);
    renderer.setSkyOcclusionCorners(skyOcclusionCorners());
    last = std::chrono::steady_clock::now();  // the scene's stages are timed inside
    if (ObjectInstance* sky = createObjectInstance(skyObjectPath, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}))
        scene().instances.push_back(sky);
    lap(startupTimes.sky);
    if (audio)
        startAmbientSounds(sounds);
    lap(startupTimes.sounds);
    loadPanel(controlPanel(), renderer);
    lap(startupTimes.panel);
    return true;
}

int OrvantaApplication::run()
{
    DemoSteps steps(mainWindow().renderer());
    int exitCode = runMainLoop(steps, frameTimer());
    closeAudio(audioOutput(), soundList());
    return exitCode;
}

}  // namespace Orvanta
