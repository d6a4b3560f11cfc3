#pragma once
#include "content/SceneLoadTimes.h"

#include <string>

namespace Orvanta {

struct CameraPath;
class FrameTimings;
class Window;

// The demo's scene, and the sky object added after the scene's own instances.
constexpr const char* sceneFilePath = "resources/objects/scene/kindergarten.scene";
constexpr const char* skyObjectPath = "resources/objects/sky.object";
// Where F5 appends the camera's pose, and how long after the previous key it is placed.
constexpr const char* recordedPathFile = "camera-paths/recorded.path";
constexpr float kRecordedKeySpacing = 2.0f;

// The time of each start-up step of initInstance, in seconds.
struct StartupTimes {
    double renderer = 0.0;  // window, context, extensions, the renderer's passes
    double audio = 0.0;     // opening the audio output
    SceneLoadTimes scene;   // the scene's stages
    double sky = 0.0;       // the sky instance
    double sounds = 0.0;    // starting the ambient sounds
    double panel = 0.0;     // the overlay panel
};

// The demo: initInstance builds everything once, run drives the main loop until Escape.
class OrvantaApplication {
public:
    // Builds the demo: the renderer (with the window and its context), the audio output, the
    // scene, the sky, the ambient sounds (left out, with one message, when there is no sound; they
    // belong to the kindergarten, so another scene plays none) and the overlay panel (which hides
    // the cursor and centres it).
    // Returns false only when no OpenGL context could be made (the reason has been logged);
    // every other start-up problem is reported and start-up goes on. The demo loads its own scene
    // (scenePath null); tools may name another scene file. Without sound (the headless tools,
    // which play nothing) no audio device is opened at all, so a machine without one stays quiet.
    bool initInstance(const char* scenePath = nullptr, bool withSound = true);
    // Runs the main loop, then releases the sounds and closes the audio output; the result is the
    // process's exit code (0 after Escape). Besides the controls: F5 appends the camera's pose to
    // recordedPathFile, F12 saves the frame without the overlay as a screenshot (printing its path
    // and showing a notice for two seconds).
    int run();
    // Makes run() fly a path instead of following the controls: the first frame shows the first
    // key, every later one the path's pose at the time since the first was presented, and the
    // loop ends after the frame at the last key. With timings, every frame's passes are timed into them at the
    // frame's path time. Both must outlive run().
    void flyPath(const CameraPath& path, FrameTimings* timings);
    // After run(): whether the flown path was flown to its end (not left with Escape).
    bool flightCompleted() const { return flightDone; }

    // Filled by initInstance.
    StartupTimes startupTimes;

private:
    const CameraPath* flight = nullptr;
    FrameTimings* flightTimings = nullptr;
    bool flightDone = false;
};

// True when a scene file path names the demo's own scene (null or empty does).
bool isKindergartenScene(const char* scenePath);

// The window singleton with its renderer (created on first use, destroyed at exit).
Window& mainWindow();

}  // namespace Orvanta
