#include "app/DemoOptions.h"

#include "app/OptionValues.h"
#include "content/SceneFile.h"
#include "overlay/ControlPanel.h"
#include "platform/FileAccess.h"

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace Orvanta {

const char* demoUsage()
{
    return "usage: orvanta [--scene FILE.scene] [--window WxH] [--camera x,y,z,qx,qy,qz,qw]\n"
           "               [--time-of-day RADIANS] [--inclination RADIANS] [--play FILE.path]\n"
           "               [--benchmark FILE.path [--csv OUT.csv]] [--debug] [--help]\n"
           "Without options: the kindergarten in a borderless window over the primary display.\n"
           "--scene         another scene file (an imported one); the camera starts framing it\n"
           "                unless --camera is given; the demo is then silent.\n"
           "--window WxH    an ordinary resizable window of W x H pixels (64 .. 16384 each).\n"
           "--camera        the start camera: position x,y,z and orientation quaternion.\n"
           "--time-of-day   (-2.07..2.07) and --inclination (-1.57..1.57) move the sun sliders.\n"
           "--play          flies a camera path (keys: time x y z qx qy qz qw) and exits at its end.\n"
           "--benchmark     flies a path timing every pass of every frame (GPU timestamps where the\n"
           "                driver has them), prints mean, median and 95th percentile per pass and\n"
           "                for the frame; --csv writes every frame's times (scripts/plot-timings).\n"
           "--debug         GL checks on; exit code 3 after a GL error.\n"
           "Keys: W/A/S/D or arrows fly, mouse looks, F1 panel, F2 reference view, F3 irradiance\n"
           "probes on/off, F5 appends the pose to camera-paths/recorded.path, F12 saves a screenshot,\n"
           "Escape quits.\n";
}

bool parseDemoOptions(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error)
{
    options = DemoOptions{};
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--debug" || a == "--help" || a == "-h") {
            (a == "--debug" ? options.debug : options.help) = true;
            continue;
        }
        const bool known = a == "--scene" || a == "--window" || a == "--camera" || a == "--time-of-day" ||
                           a == "--inclination" || a == "--play" || a == "--benchmark" || a == "--csv";
        if (!known) {
            error = "option '" + a + "' is not known";
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = "option " + a + " needs a value";
            return false;
        }
        const std::string& v = arguments[++i];
        bool ok = !v.empty();
        const char* expected = "a file name";
        if (a == "--scene") {
            options.scene = v;
        } else if (a == "--window") {
            ok = parseSize(v, options.windowWidth, options.windowHeight, kMinWindowSide, kMaxWindowSide);
            expected = "WxH, each side 64 .. 16384 pixels";
        } else if (a == "--camera") {
            ok = options.hasCamera = parseCameraPose(v, options.cameraPosition, options.cameraOrientation);
            expected = "x,y,z,qx,qy,qz,qw: seven numbers, the quaternion not zero";
        } else if (a == "--time-of-day") {
            ok = options.hasTimeOfDay = parseFiniteNumber(v, options.timeOfDay) &&
                                        std::abs(options.timeOfDay) <= timeOfDayRange;
            expected = "radians within -2.07 .. 2.07";
        } else if (a == "--inclination") {
            ok = options.hasInclination = parseFiniteNumber(v, options.inclination) &&
                                          std::abs(options.inclination) <= sunInclinationRange;
            expected = "radians within -1.57 .. 1.57";
        } else if (a == "--play") {
            options.playPath = v;
        } else if (a == "--benchmark") {
            options.benchmarkPath = v;
        } else {
            options.csvPath = v;
        }
        if (!ok) {
            error = "option " + a + ": '" + v + "' is not valid (" + expected + ")";
            return false;
        }
    }
    if (!options.playPath.empty() && !options.benchmarkPath.empty())
        error = "--play and --benchmark both fly a path; give one of them";
    else if (options.hasCamera && !options.flightPath().empty())
        error = "--camera and a flown path both place the camera; give one of them";
    else if (!options.csvPath.empty() && options.benchmarkPath.empty())
        error = "--csv writes the times of a --benchmark run; give --benchmark FILE.path too";
    return error.empty();
}

bool checkDemoFiles(const DemoOptions& options, CameraPath& flight, std::string& error)
{
    flight = CameraPath{};
    SceneFileData scene;
    if (!options.scene.empty() && !readSceneFile(options.scene, scene, error))
        return false;
    if (!options.flightPath().empty() && !readCameraPathFile(options.flightPath(), flight, error))
        return false;
    if (!options.csvPath.empty()) {
        const std::filesystem::path csv(options.csvPath);
        const std::string folder = csv.has_parent_path() ? csv.parent_path().string() : std::string(".");
        if (pathKind(options.csvPath) == PathKind::Directory || pathKind(folder) != PathKind::Directory ||
            access(folder.c_str(), W_OK) != 0) {
            error = options.csvPath + ": cannot be written (its folder must exist and be writable)";
            return false;
        }
    }
    return true;
}

}  // namespace Orvanta
