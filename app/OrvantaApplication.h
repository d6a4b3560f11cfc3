#pragma once

namespace Orvanta {

class Window;

// The demo: initInstance builds everything once, run drives the main loop until Escape.
class OrvantaApplication {
public:
    // Builds the demo. Returns false only when no OpenGL context could be made (the reason has
    // been logged); every other start-up problem is reported and start-up goes on.
    bool initInstance();
    // Runs the main loop; the result is the process's exit code (0 after Escape).
    int run();
};

// The window singleton (created on first use, destroyed at exit).
Window& mainWindow();

}  // namespace Orvanta
