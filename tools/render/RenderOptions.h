#pragma once
#include "scene/Math.h"

#include <string>
#include <utility>
#include <vector>

namespace Orvanta {

// The simulated time every frame advances by unless --frame-time says otherwise. The eye adapts
// toward the scene at rate 1 per second when it darkens (2 when it brightens), so after the
// default 8 frames of 1 s at most e^-8 (3e-4) of the starting log-luminance gap is left, less
// than the adaptation target's half-float precision: the default frame count shows the settled
// picture.
inline constexpr float kDefaultFrameSeconds = 1.0f;
// The largest --frame-time accepted: an hour.
inline constexpr float kMaxFrameSeconds = 3600.0f;

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
    std::vector<std::pair<int, bool>> settings;  // renderer setting index, state (--set)
    std::string output = "render.png";
    bool outputGiven = false;                   // --output named; otherwise --hdr FILE.exr puts the PNG beside it
    float frameSeconds = kDefaultFrameSeconds;  // simulated time per frame
    float exposure = 0.0f;                      // above 0: fixed tone-map exposure, no adaptation
    std::string hdrOutput;                      // --hdr FILE.exr: the linear frame before tone mapping
    std::string scene;                          // empty: the demo's scene
    bool frameScene = false;                    // camera framing the whole scene from the sun's side
    bool debug = false;
    bool help = false;          // print the usage and stop
    bool uiMode = false;        // draw the frames in UI mode: the panel and counter instead of the hint
    bool reportMemory = false;  // resident memory at frame 1, every 100th and the last
    bool noOverlay = false;     // the scene alone: no F1 hint, panel or frame counter
    std::string cameraPath;     // --camera-path or --benchmark FILE.path: the frames follow it
    bool benchmark = false;     // --benchmark: every frame's passes timed, statistics printed
    std::string csvOutput;      // --csv OUT.csv: the benchmark's per-frame times
    std::string shaderDump;     // --dump-shaders DIR: every shader source as the driver gets it
};

// Parses the arguments after the program name. On a bad argument returns false with a message
// that names it.
bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options, std::string& error);
const char* renderUsage();

// True when both outputs can be written (outputPathProblem) and are different files; hdr may be
// empty. False with a message naming the option and the file.
bool outputsWritable(const std::string& picture, const std::string& hdr, std::string& error);

}  // namespace Orvanta
