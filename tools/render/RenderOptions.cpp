#include "RenderOptions.h"

#include "app/OptionValues.h"
#include "overlay/ControlPanel.h"
#include "platform/FileAccess.h"
#include "renderer/FeatureSwitches.h"
#include "renderer/RenderSettings.h"

#include <cmath>
#include <cstdlib>

namespace Orvanta {

namespace {

bool parseFloat(const std::string& text, float& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return end && *end == '\0';
}

// A value the panel's slider can hold: within -range .. range.
bool parseFloatIn(const std::string& text, float& value, float range)
{
    return parseFloat(text, value) && value >= -range && value <= range;
}

// A finite number above 0 and at most `maximum`.
bool parsePositive(const std::string& text, float& value, float maximum)
{
    return parseFloat(text, value) && std::isfinite(value) && value > 0.0f && value <= maximum;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool parseInt(const std::string& text, int& value, int minimum)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0' || parsed < minimum || parsed > 16384)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseCamera(const std::string& text, RenderOptions& options)
{
    return options.hasCamera = parseCameraPose(text, options.cameraPosition, options.cameraOrientation);
}

bool parseSwitch(const std::string& text, RenderOptions& options)
{
    size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    std::string name = text.substr(0, equals);
    std::string state = text.substr(equals + 1);
    if (state != "0" && state != "1")
        return false;
    int index = -1;
    if (!parseInt(name, index, 0))
        index = findFeatureSwitch(name.c_str());
    if (index < 0 || index >= FeatureSwitchCount)
        return false;
    options.switches.emplace_back(index, state == "1");
    return true;
}

bool parseSetting(const std::string& text, RenderOptions& options)
{
    size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    std::string state = text.substr(equals + 1);
    int index = findRenderSetting(text.substr(0, equals).c_str());
    if (index < 0 || (state != "0" && state != "1"))
        return false;
    options.settings.emplace_back(index, state == "1");
    return true;
}

}  // namespace

bool outputsWritable(const std::string& picture, const std::string& hdr, std::string& error)
{
    for (const std::string* path : {&picture, &hdr}) {
        if (path == &hdr && hdr.empty())
            continue;
        const std::string problem = outputPathProblem(*path);
        if (!problem.empty()) {
            error = "option " + std::string(path == &hdr ? "--hdr" : "--output") + ": '" + *path + "' " + problem;
            return false;
        }
    }
    if (picture == hdr) {
        error = "--output and --hdr name the same file '" + picture + "'";
        return false;
    }
    return true;
}

const char* renderUsage()
{
    return "usage: orvanta-render [--width N] [--height N] [--frames N] [--camera x,y,z,qx,qy,qz,qw]\n"
           "                      [--time-of-day RADIANS] [--inclination RADIANS] [--switch INDEX|NAME=0|1]...\n"
           "                      [--ui] [--output FILE.png] [--debug] [--help] [--scene FILE.scene]\n"
           "                      [--frame-scene] [--report-memory] [--no-overlay] [--frame-time SECONDS]\n"
           "                      [--exposure VALUE] [--hdr FILE.exr] [--set NAME=0|1]...\n"
           "                      [--camera-path FILE.path | --benchmark FILE.path [--csv OUT.csv]]\n"
           "                      [--dump-shaders DIR]\n"
           "--time-of-day (-2.07..2.07) and --inclination (-1.57..1.57) move the panel's sun sliders\n"
           "  and the sun with them.\n"
           "--switch sets a check box of the panel as a click would, in command-line order: switching\n"
           "  lightPropagationVolumes sets propagateSunLighting and propagateSkyLighting to the same\n"
           "  state, so name those after it to set them differently.\n"
           "--ui draws the frames in UI mode (panel, check boxes, frame counter) instead of the F1 hint.\n"
           "--scene renders another scene file than the demo's; --frame-scene places the camera so\n"
           "  that it sees the whole scene from the sun's side.\n"
           "--frame-time: the simulated time every frame advances by, for the eye adaptation and\n"
           "  everything else that reads the clock (the --ui frame counter); default 1 s, so that the\n"
           "  eye (adapting at 1/s toward darker, 2/s toward brighter scenes) has settled within the\n"
           "  default 8 frames. Two runs of one command draw the same picture.\n"
           "--exposure fixes the tone map's exposure (a number above 0) and skips the adaptation.\n"
           "--hdr also writes the linear HDR frame before tone mapping as OpenEXR (float RGB), with the\n"
           "  exposure the tone map used in the header attribute \"exposure\"; without --output the\n"
           "  PNG goes beside it under the same name (FILE.png), where orvanta-compare looks for it.\n"
           "--no-overlay draws the scene alone, without the F1 hint, panel or frame counter.\n"
           "--report-memory prints the resident memory at frame 1, every 100th frame and the last.\n"
           "--camera-path renders the --frames frames evenly spaced in time along a camera path (the\n"
           "  first at its first key, the last at its last; one frame: the last key) and writes the\n"
           "  last to --output, or every frame when the output name holds %04d (the frame's number\n"
           "  from 0). --benchmark does the same, times every pass of every frame and prints mean,\n"
           "  median and 95th percentile per pass and for the frame; --csv writes every frame's times\n"
           "  (scripts/plot-timings draws them).\n"
           "--dump-shaders writes every shader source into DIR (made if missing) exactly as the driver\n"
           "  compiles it, and programs.txt listing the programs (scripts/check-shaders reads them).\n"
           "--set switches a part of a feature that has no check box, so that what it adds can be\n"
           "  measured; all but irradianceProbes are on by default. irradianceProbes=1 lights what\n"
           "  lies near the camera with ray-traced irradiance probes instead of the sky lighting and\n"
           "  the propagation volumes' diffuse light. antiAliasing=0 draws every frame unjittered and\n"
           "  unsmoothed; temporalAntiAliasing=0 (with antiAliasing on) smooths the tone-mapped\n"
           "  frame's edges alone instead of averaging jittered frames (a still view has averaged\n"
           "  all 16 of its sub-pixel offsets from its 16th frame on).\n"
           "switch names: directLighting skyLighting lightPropagationVolumes propagateSunLighting\n"
           "              propagateSkyLighting SSAO raytracing\n"
           "setting names: lpvOcclusion antiAliasing refraction temporalAntiAliasing irradianceProbes\n";
}

bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--debug") {
            options.debug = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            options.help = true;
            continue;
        }
        if (a == "--ui") {
            options.uiMode = true;
            continue;
        }
        if (a == "--frame-scene") {
            options.frameScene = true;
            continue;
        }
        if (a == "--no-overlay") {
            options.noOverlay = true;
            continue;
        }
        if (a == "--report-memory") {
            options.reportMemory = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "option " + a + (a.rfind("--", 0) == 0 ? " needs a value" : " is not known");
            return false;
        }
        const std::string& v = arguments[++i];
        bool ok = true;
        if (a == "--width")
            ok = parseInt(v, options.width, 1);
        else if (a == "--height")
            ok = parseInt(v, options.height, 1);
        else if (a == "--frames")
            ok = parseInt(v, options.frames, 1);
        else if (a == "--camera")
            ok = parseCamera(v, options);
        else if (a == "--time-of-day")
            ok = options.hasTimeOfDay = parseFloatIn(v, options.timeOfDay, timeOfDayRange);
        else if (a == "--inclination")
            ok = options.hasInclination = parseFloatIn(v, options.inclination, sunInclinationRange);
        else if (a == "--switch")
            ok = parseSwitch(v, options);
        else if (a == "--set")
            ok = parseSetting(v, options);
        else if (a == "--output") {
            options.output = v;
            options.outputGiven = true;
        } else if (a == "--frame-time")
            ok = parsePositive(v, options.frameSeconds, kMaxFrameSeconds);
        else if (a == "--exposure")
            ok = parsePositive(v, options.exposure, 1e9f);
        else if (a == "--hdr") {
            ok = endsWith(v, ".exr");
            options.hdrOutput = v;
        } else if (a == "--scene")
            options.scene = v;
        else if (a == "--camera-path" || a == "--benchmark") {
            if (!options.cameraPath.empty() && options.benchmark != (a == "--benchmark")) {
                error = "--camera-path and --benchmark both name the path; give one of them";
                return false;
            }
            ok = !v.empty();
            options.cameraPath = v;
            options.benchmark = a == "--benchmark";
        } else if (a == "--csv")
            ok = !(options.csvOutput = v).empty();
        else if (a == "--dump-shaders")
            ok = !(options.shaderDump = v).empty();
        else {
            error = "option " + a + " is not known";
            return false;
        }
        if (!ok) {
            error = "option " + a + ": '" + v + "' is not a valid value";
            if (a == "--time-of-day" || a == "--inclination")
                error += " (a number of radians within the slider's range, see below)";
            else if (a == "--frame-time")
                error += " (seconds above 0, at most 3600)";
            else if (a == "--exposure")
                error += " (a number above 0)";
            else if (a == "--hdr")
                error += " (a file name ending in .exr)";
            else if (a == "--camera")
                error += " (seven finite numbers x,y,z,qx,qy,qz,qw, the quaternion not zero)";
            else if (a == "--set")
                error += " (NAME=0 or NAME=1 with a setting name below)";
            return false;
        }
    }
    if (options.frameScene && options.hasCamera) {
        error = "--camera and --frame-scene both place the camera; give one of them";
        return false;
    }
    if (!options.cameraPath.empty() && (options.hasCamera || options.frameScene)) {
        error = "a camera path and --camera or --frame-scene all place the camera; give one of them";
        return false;
    }
    if (!options.csvOutput.empty() && !options.benchmark) {
        error = "--csv writes the times of a --benchmark run; give --benchmark FILE.path too";
        return false;
    }
    if (!options.hdrOutput.empty() && !options.outputGiven)
        options.output = options.hdrOutput.substr(0, options.hdrOutput.size() - 4) + ".png";
    // The outputs are written after every frame is drawn: a name that cannot be written is
    // refused before the work.
    return outputsWritable(options.output, options.hdrOutput, error);
}

}  // namespace Orvanta
