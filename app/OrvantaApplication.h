#pragma once
#include "content/SceneLoadTimes.h"

#include <string>

namespace Orvanta {

class Window;

// The demo's scene, and the sky object added after the scene's own instances.
constexpr const char* sceneFilePath = "resources/objects/scene/kindergarten.scene";
constexpr const char* skyObjectPath = "resources/objects/sky.object";

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
    // scene, the sky, the ambient sounds (left out, with one message, when there is no sound) and
    // the overlay panel (which hides the cursor and centres it).
    // Returns false only when no OpenGL context could be made (the reason has been logged);
    // every other start-up problem is reported and start-up goes on. The demo loads its own scene
    // (scenePath null); tools may name another scene file.
    bool initInstance(const char* scenePath = nullptr);
    // Runs the main loop, then releases the sounds and closes the audio output; the result is the
    // process's exit code (0 after Escape).
    int run();

    // Filled by initInstance.
    StartupTimes startupTimes;
};

// The window singleton with its renderer (created on first use, destroyed at exit).
Window& mainWindow();

}  // namespace Orvanta
