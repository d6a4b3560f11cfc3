#include "app/OrvantaApplication.h"

#include "platform/FrameTimer.h"
#include "app/MainLoop.h"
#include "app/Window.h"
#include "audio/AmbientSounds.h"
#include "audio/AudioOutput.h"
#include "audio/SoundList.h"
#include "audio/UpdateAudio.h"
#include "content/ObjectInstance.h"
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
    void renderFrame() override { renderer.renderFrame(); }
    bool pumpMessages() override { return platformInput().pumpMessages(); }

private:
    Renderer& renderer;
};

}  // namespace

bool OrvantaApplication::initInstance(const char* scenePath)
{
    Window& window = mainWindow();
    if (!window.open()) {
        logError("cannot start: " + window.contextError());
        return false;
    }
    Renderer& renderer = window.renderer();
    SoundList& sounds = soundList();
    bool audio = openAudio(audioOutput());
    loadScene(scenePath ? scenePath : sceneFilePath, scene().instances, rayTracer().geometry, rayTracer().kdTree);
    renderer.setSkyOcclusionCorners(skyOcclusionCorners());
    if (ObjectInstance* sky = createObjectInstance(skyObjectPath, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}))
        scene().instances.push_back(sky);
    if (audio)
        startAmbientSounds(sounds);
    loadPanel(controlPanel(), renderer);
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
