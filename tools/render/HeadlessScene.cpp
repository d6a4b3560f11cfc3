#include "HeadlessScene.h"

#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneFile.h"
#include "overlay/ControlPanel.h"
#include "renderer/Renderer.h"
#include "renderer/SceneFraming.h"

namespace Orvanta {

bool startHeadlessScene(const RenderOptions& options, OrvantaApplication& application, std::string& error)
{
    SceneFileData sceneFile;
    if (!options.scene.empty() && !readSceneFile(options.scene, sceneFile, error))
        return false;
    Window::requestHeadless(options.width, options.height);
    if (!application.initInstance(options.scene.empty() ? nullptr : options.scene.c_str(), false)) {
        error = "the demo could not start (see the messages above)";
        return false;
    }
    Renderer& renderer = mainWindow().renderer();
    if (options.hasCamera)
        renderer.setCameraPose(options.cameraPosition, options.cameraOrientation);
    ControlPanel& panel = controlPanel();
    if (options.hasTimeOfDay || options.hasInclination) {
        setSunSliders(panel, renderer, options.hasTimeOfDay ? options.timeOfDay : panel.sliders[timeOfDaySlider].value,
                      options.hasInclination ? options.inclination : panel.sliders[sunInclinationSlider].value);
    }
    // Through the panel's check boxes, so dependents follow as they do for a click.
    for (auto [index, on] : options.switches)
        renderer.setFeature(static_cast<FeatureSwitch>(index), on);
    for (auto [index, on] : options.settings)
        renderer.setRenderSetting(static_cast<RenderSetting>(index), on);
    panel.mouse.uiMode = options.uiMode;
    renderer.setFixedExposure(options.exposure);
    if (options.noOverlay)
        renderer.attachOverlay(nullptr);
    if (options.frameScene && !frameLoadedScene(renderer, error)) {
        error = "--frame-scene: " + error;
        return false;
    }
    return true;
}

}  // namespace Orvanta
