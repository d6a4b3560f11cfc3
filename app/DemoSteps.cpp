#include "app/DemoSteps.h"

#include "app/OrvantaApplication.h"
#include "audio/SoundList.h"
#include "audio/UpdateAudio.h"
#include "content/SceneVisibility.h"
#include "overlay/ControlPanel.h"
#include "overlay/PanelInteraction.h"
#include "platform/FrameTimer.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "raytracing/RayTracer.h"
#include "renderer/FrameTimings.h"
#include "renderer/Renderer.h"
#include "scene/CameraPath.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cstdio>

namespace Orvanta {

namespace {

enum KeyIndex { ReferenceKey, RecordKey, ScreenshotKey, ProbeKey };

}  // namespace

DemoSteps::DemoSteps(Renderer& r, ControlPanel& p, bool audio) : renderer(r), panel(p), audioOn(audio), capture(&p)
{
    renderer.attachOverlay(&capture);
}

DemoSteps::~DemoSteps()
{
    renderer.attachOverlay(&panel);
    renderer.setPassTimer(nullptr);
}

void DemoSteps::flyPath(const CameraPath& path, FrameTimings* frameTimings)
{
    flight = path.keys.empty() ? nullptr : &path;
    timings = frameTimings;
    if (timings) {
        passTimer = std::make_unique<PassTimer>();
        renderer.setPassTimer(passTimer.get());
    }
}

uint32_t DemoSteps::ticks()
{
    return platformInput().ticks();
}

void DemoSteps::applyKeyboardControls()
{
    if (!flight) {
        applyKeyboardAndLook(renderer.camera(), panel.mouse, frameTimer().elapsedSeconds);
        return;
    }
    // The path's clock starts once the first frame (at the first key) has been presented, so that
    // the first frame's extra work (programs, visible sets) takes no time off the path. Unsigned
    // difference: right across a wrap of the tick counter too.
    flightTime = flight->startTime();
    if (flightStarted)
        flightTime += double(ticks() - flightStartTick) / 1000.0;
    lastFlightFrame = flightTime >= double(flight->endTime());
    flightTime = std::min(flightTime, double(flight->endTime()));
    const CameraPose pose = cameraPoseAt(*flight, static_cast<float>(flightTime));
    renderer.setCameraPose(pose.position, pose.orientation);
}

void DemoSteps::updateVisibleSets()
{
    Orvanta::updateVisibleSets(scene());
}

void DemoSteps::handleMouse()
{
    // The cursor is recentred inside the window: at the usual point where the window is large
    // enough, else at its centre. A frame that moves the point measures nothing.
    const int x = std::min(mouseRecentreX, std::max(renderer.width() / 2, 1));
    const int y = std::min(mouseRecentreY, std::max(renderer.height() / 2, 1));
    if (x != panel.mouse.recentreX || y != panel.mouse.recentreY) {
        setMouseRecentre(panel.mouse, x, y);
        return;
    }
    Orvanta::handleMouse(panel, renderer);
}

void DemoSteps::updateAudio()
{
    if (audioOn)
        Orvanta::updateAudio(soundList(), renderer.camera());
}

bool DemoSteps::escapePressed()
{
    return platformInput().queryKey(Key::Escape) || flightEnded;
}

bool DemoSteps::pressed(int index, bool down)
{
    const bool wentDown = down && !keysWereDown[index];
    keysWereDown[index] = down;
    return wentDown;
}

void DemoSteps::recordPose()
{
    CameraKey key;
    std::string error;
    const RenderCamera& camera = renderer.camera();
    if (!appendCameraKey(recordedPathFile, {camera.position, camera.orientation}, kRecordedKeySpacing, key, error)) {
        logError("F5: " + error);
        return;
    }
    std::printf("%s: key at %g s\n", recordedPathFile, key.time);
    std::fflush(stdout);
}

void DemoSteps::saveCapturedFrame()
{
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    if (!capture.takeCapture(width, height, pixels))
        return;
    std::string path, error;
    if (!saveScreenshot(width, height, pixels, path, error)) {
        logError("F12: " + error);
        return;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    showScreenshotNotice(panel);
}

void DemoSteps::renderFrame()
{
    InputSource& input = platformInput();
    if (pressed(ReferenceKey, input.queryKey(Key::F2)))
        referenceView.toggle(renderer, rayTracer());
    if (pressed(ProbeKey, input.queryKey(Key::F3))) {
        const bool on = !renderer.renderSettingOn(IrradianceProbes);
        renderer.setRenderSetting(IrradianceProbes, on);
        std::printf("F3: irradiance probes %s\n", on ? "on" : "off");
        std::fflush(stdout);
    }
    if (pressed(RecordKey, input.queryKey(Key::F5)))
        recordPose();
    if (pressed(ScreenshotKey, input.queryKey(Key::F12)))
        capture.requestCapture();
    if (timings)
        passTimer->beginFrame();
    if (!referenceView.renderFrame(renderer, rayTracer()))
        renderer.renderFrame();
    if (timings)
        timings->addFrame(flightTime, passTimer->endFrame());
    saveCapturedFrame();
    flightEnded = flight && lastFlightFrame;
    if (flight && !flightStarted) {
        flightStarted = true;
        flightStartTick = ticks();
    }
}

bool DemoSteps::pumpMessages()
{
    return platformInput().pumpMessages();
}

}  // namespace Orvanta
