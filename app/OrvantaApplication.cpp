#include "app/OrvantaApplication.h"

#include "app/FrameTimer.h"
#include "app/MainLoop.h"
#include "content/ObjectInstance.h"
#include "content/SceneLoader.h"
#include "content/SkyOcclusion.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "renderer/Renderer.h"
#include "scene/InputControls.h"
#include "scene/Scene.h"

#include <AL/alc.h>

namespace Orvanta {

Renderer& mainWindow()
{
    static Renderer window;
    return window;
}

namespace {

// The audio device and context stay open for the life of the process.
void openAudio()
{
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        logInfo("no audio device could be opened; the demo runs silent");
        return;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context))
        logInfo("no audio context could be made current; the demo runs silent");
}

// The main loop's steps on the real subsystems.
class DemoSteps final : public MainLoopSteps {
public:
    explicit DemoSteps(Renderer& r) : renderer(r) { startMouseLook(mouse); }

    uint32_t ticks() override { return platformInput().ticks(); }
    void applyKeyboardControls() override
    {
        applyKeyboardAndLook(renderer.camera, mouse, frameTimer().elapsedSeconds);
    }
    void updateVisibleSets() override { scene().updateVisibleSets(); }
    void handleMouse() override { Orvanta::handleMouse(mouse, {}); }
    void updateAudio() override {}
    bool escapePressed() override { return platformInput().queryKey(Key::Escape); }
    void renderFrame() override { renderer.renderFrame(); }
    bool pumpMessages() override { return platformInput().pumpMessages(); }

private:
    Renderer& renderer;
    MouseLookState mouse;
};

}  // namespace

bool OrvantaApplication::initInstance()
{
    Renderer& renderer = mainWindow();
    if (!renderer.initRenderer()) {
        logError("cannot start: " + renderer.contextError());
        return false;
    }
    openAudio();
    loadScene(sceneFilePath, scene().instances);
    renderer.setSkyOcclusionCorners(skyOcclusionCorners());
    if (ObjectInstance* sky = createObjectInstance(skyObjectPath, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}))
        scene().instances.push_back(sky);
    return true;
}

int OrvantaApplication::run()
{
    DemoSteps steps(mainWindow());
    return runMainLoop(steps, frameTimer());
}

}  // namespace Orvanta
