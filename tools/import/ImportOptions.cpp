#include "ImportOptions.h"

#include "SceneAssembly.h"

#include <cmath>
#include <cstdlib>

namespace Orvanta {

const char* importUsage()
{
    return "usage: orvanta-import [--scale S] [--up y|z] [--name NAME] [--engine-root DIR]\n"
           "                      [--max-memory N(M|G)] MODEL OUTDIR\n"
           "  Converts a model (glTF 2.0, OBJ, PLY, FBX, Collada and the other formats assimp reads) into\n"
           "  OUTDIR/NAME.scene with its objects, materials and textures. Run it in the engine's folder\n"
           "  (or name that with --engine-root): the files refer to each other from there. An OUTDIR under\n"
           "  the engine's resources/ keeps the import movable with the engine.\n"
           "  --scale S    multiplies every length (default 1)\n"
           "  --up y|z     the model's up axis (default y); z-up models are turned to y up\n"
           "  --name NAME  the scene's name (default: the model file's name); letters, digits, - and _\n"
           "  --max-memory N(M|G)  the memory the import may use, in MiB or GiB (default 4G); a model\n"
           "               that needs more fails with a message that names the limit\n";
}

bool parseImportOptions(const std::vector<std::string>& arguments, ImportOptions& options, std::string& error)
{
    std::vector<std::string> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.rfind("--", 0) != 0) {
            positional.push_back(a);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "option " + a + " needs a value";
            return false;
        }
        const std::string& v = arguments[++i];
        if (a == "--scale") {
            char* end = nullptr;
            options.scale = std::strtof(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !std::isfinite(options.scale) || options.scale <= 0.0f) {
                error = "--scale: '" + v + "' is not a positive number";
                return false;
            }
        } else if (a == "--up") {
            if (v != "y" && v != "z") {
                error = "--up: '" + v + "' is neither y nor z";
                return false;
            }
            options.upAxis = v[0];
        } else if (a == "--name") {
            if (safeStem(v, "") != v) {
                error = "--name: '" + v + "' may hold only letters, digits, '-' and '_' (at most 48)";
                return false;
            }
            options.name = v;
        } else if (a == "--max-memory") {
            if (!parseMemoryAmount(v, options.maxMemoryBytes)) {
                error = "--max-memory: '" + v + "' is not an amount of memory such as 512M or 8G (at least " +
                        memoryText(kMinImportMemoryBytes) + ")";
                return false;
            }
        } else if (a == "--engine-root") {
            options.engineRoot = v;
        } else {
            error = "option " + a + " is not known";
            return false;
        }
    }
    if (positional.size() != 2) {
        error = positional.size() < 2 ? "a model and an output folder are needed" : "too many arguments";
        return false;
    }
    options.modelPath = positional[0];
    options.outputDir = positional[1];
    return true;
}

}  // namespace Orvanta
