#include "RenderOptions.h"

#include "overlay/ControlPanel.h"
#include "renderer/FeatureSwitches.h"
#include "renderer/RenderSettings.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

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
    std::vector<float> values;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        float v = 0.0f;
        if (!parseFloat(item, v))
            return false;
        values.push_back(v);
    }
    if (values.size() != 7)
        return false;
    options.cameraPosition = {values[0], values[1], values[2]};
    options.cameraOrientation = normalize(Quaternion{values[3], values[4], values[5], values[6]});
    options.hasCamera = true;
    return true;
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

const char* renderUsage()
{
    return "usage: orvanta-render [--width N] [--height N] [--frames N] [--camera x,y,z,qx,qy,qz,qw]\n"
           "                      [--time-of-day RADIANS] [--inclination RADIANS] [--switch INDEX|NAME=0|1]...\n"
           "                      [--ui] [--output FILE.png] [--debug] [--help] [--scene FILE.scene]\n"
           "                      [--frame-scene] [--report-memory] [--no-overlay] [--frame-time SECONDS]\n"
           "                      [--exposure VALUE] [--hdr FILE.exr] [--set NAME=0|1]...\n"
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
           "--set switches a part of a feature that has no check box, so that what it adds can be\n"
           "  measured; all are on by default.\n"
           "switch names: directLighting skyLighting lightPropagationVolumes propagateSunLighting\n"
           "              propagateSkyLighting SSAO raytracing\n"
           "setting names: lpvOcclusion antiAliasing refraction\n";
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
        }
        else if (a == "--scene")
            options.scene = v;
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
            else if (a == "--set")
                error += " (NAME=0 or NAME=1 with a setting name below)";
            return false;
        }
    }
    if (options.frameScene && options.hasCamera) {
        error = "--camera and --frame-scene both place the camera; give one of them";
        return false;
    }
    if (!options.hdrOutput.empty() && !options.outputGiven)
        options.output = options.hdrOutput.substr(0, options.hdrOutput.size() - 4) + ".png";
    return true;
}

}  // namespace Orvanta
