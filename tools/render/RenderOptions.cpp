#include "RenderOptions.h"

#include "overlay/ControlPanel.h"
#include "renderer/FeatureSwitches.h"

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

}  // namespace

const char* renderUsage()
{
    return "usage: orvanta-render [--width N] [--height N] [--frames N] [--camera x,y,z,qx,qy,qz,qw]\n"
           "                      [--time-of-day RADIANS] [--inclination RADIANS] [--switch INDEX|NAME=0|1]...\n"
           "                      [--ui] [--output FILE.png] [--debug] [--help] [--scene FILE.scene]\n"
           "                      [--frame-scene]\n"
           "--time-of-day (-2.07..2.07) and --inclination (-1.57..1.57) move the panel's sun sliders\n"
           "  and the sun with them.\n"
           "--switch sets a check box of the panel as a click would, in command-line order: switching\n"
           "  lightPropagationVolumes sets propagateSunLighting and propagateSkyLighting to the same\n"
           "  state, so name those after it to set them differently.\n"
           "--ui draws the frames in UI mode (panel, check boxes, frame counter) instead of the F1 hint.\n"
           "--scene renders another scene file than the demo's; --frame-scene places the camera so\n"
           "  that it sees the whole scene from the sun's side.\n"
           "switch names: directLighting skyLighting lightPropagationVolumes propagateSunLighting\n"
           "              propagateSkyLighting SSAO raytracing\n";
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
        else if (a == "--output")
            options.output = v;
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
            return false;
        }
    }
    if (options.frameScene && options.hasCamera) {
        error = "--camera and --frame-scene both place the camera; give one of them";
        return false;
    }
    return true;
}

}  // namespace Orvanta
