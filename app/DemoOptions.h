#pragma once
#include "scene/CameraPath.h"
#include "scene/Math.h"

#include <string>
#include <vector>

namespace Orvanta {

// The demo's command line. Without options the demo runs as it always has: the kindergarten in a
// borderless window over the primary display, from the start camera.
struct DemoOptions {
    std::string scene;    // --scene FILE.scene; empty: the kindergarten
    int windowWidth = 0;  // --window WxH: an ordinary resizable window of that client size
    int windowHeight = 0;
    bool hasCamera = false;  // --camera x,y,z,qx,qy,qz,qw
    Float3 cameraPosition;
    Quaternion cameraOrientation;
    bool hasTimeOfDay = false;  // --time-of-day and --inclination move the panel's sun sliders
    float timeOfDay = 0.0f;
    bool hasInclination = false;
    float inclination = 0.0f;
    std::string playPath;       // --play FILE.path: fly the path, then exit
    std::string benchmarkPath;  // --benchmark FILE.path: fly it timing every pass of every frame
    std::string csvPath;        // --csv OUT.csv: the benchmark's per-frame times
    bool debug = false;         // GL checks on; exit code 3 after a GL error
    bool help = false;

    bool windowed() const { return windowWidth > 0; }
    // The path flown (--play or --benchmark), empty when none.
    const std::string& flightPath() const { return playPath.empty() ? benchmarkPath : playPath; }
};

// The smallest and largest --window side.
inline constexpr int kMinWindowSide = 64;
inline constexpr int kMaxWindowSide = 16384;

// Parses the arguments after the program name. False with one message naming the option and
// the bad value (or the clash between two options).
bool parseDemoOptions(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error);
const char* demoUsage();

// What the options name, checked before any window opens: the scene file must read as a scene,
// the flown path must read as a path (returned in `flight`), and the CSV's folder must exist and
// be writable. False with one message naming the file and the problem.
bool checkDemoFiles(const DemoOptions& options, CameraPath& flight, std::string& error);

}  // namespace Orvanta
