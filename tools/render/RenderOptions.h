#pragma once
#include "scene/Math.h"

#include <string>
#include <utility>
#include <vector>

namespace Orvanta {

// Command line of the headless render tool.
struct RenderOptions {
    int width = 640;
    int height = 360;
    int frames = 8;
    bool hasCamera = false;
    Float3 cameraPosition;
    Quaternion cameraOrientation;
    bool hasTimeOfDay = false;
    float timeOfDay = 0.0f;
    bool hasInclination = false;
    float inclination = 0.0f;
    std::vector<std::pair<int, bool>> switches;  // feature index, state
    std::string output = "render.png";
    std::string scene;        // empty: the demo's scene
    bool frameScene = false;  // camera framing the whole scene from the sun's side
    bool debug = false;
    bool help = false;    // print the usage and stop
    bool uiMode = false;  // draw the frames in UI mode: the panel and counter instead of the hint
};

// Parses the arguments after the program name. On a bad argument returns false with a message
// that names it.
bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options, std::string& error);
const char* renderUsage();

}  // namespace Orvanta
