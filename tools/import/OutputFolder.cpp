#include "OutputFolder.h"

#include "content/BinaryIo.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace Orvanta {

namespace {

namespace fs = std::filesystem;

bool staysInside(const std::string& relative)
{
    const fs::path path(relative);
    if (relative.empty() || path.is_absolute() || path.has_root_name())
        return false;
    for (const fs::path& part : path)
        if (part == ".." || part == "." || part.empty())
            return false;
    return true;
}

bool isEarlierImport(const fs::path& folder)
{
    std::ifstream marker(folder / kImportMarkerFile);
    std::string first;
    return marker && std::getline(marker, first) && first.rfind(kImportMarkerStart, 0) == 0;
}

std::string reason(const std::error_code& code)
{
    return code.message();
}

bool writeAll(const fs::path& folder, const ImportFiles& files, std::string& error)
{
    std::error_code code;
    for (const auto& [relative, bytes] : files) {
        if (!staysInside(relative)) {
            error = "the output path '" + relative + "' climbs out of the output folder";
            return false;
        }
        const fs::path path = folder / relative;
        fs::create_directories(path.parent_path(), code);
        if (code) {
            error = path.parent_path().string() + ": cannot create (" + reason(code) + ")";
            return false;
        }
        if (!writeFileAtomically(path.string(), bytes, error))
            return false;
    }
    return true;
}

}  // namespace

bool resourcePrefixFor(const std::string& outputDir, const std::string& engineRoot, std::string& prefix,
                       std::string& error)
{
    std::error_code code;
    const fs::path materials = fs::path(engineRoot) / "resources" / "materials";
    const fs::path textures = fs::path(engineRoot) / "resources" / "textures";
    if (!fs::is_directory(materials, code) || !fs::is_directory(textures, code)) {
        error = "'" + engineRoot +
                "' is not the engine's folder (it has no resources/materials and resources/textures): run the "
                "import there or name it with --engine-root";
        return false;
    }
    // Physical paths on both sides: the system resolves ".." against the real folder.
    const fs::path from = fs::canonical(materials, code);
    const fs::path to = fs::weakly_canonical(fs::absolute(outputDir), code);
    if (code) {
        error = outputDir + ": " + reason(code);
        return false;
    }
    prefix = to.lexically_relative(from).generic_string() + "/";
    return true;
}

bool outputFolderReplaceable(const std::string& outputDir, std::string& error)
{
    std::error_code code;
    const fs::path folder(outputDir);
    if (!fs::exists(folder, code))
        return true;
    if (!fs::is_directory(folder, code)) {
        error = outputDir + ": exists and is not a folder";
        return false;
    }
    if (fs::is_empty(folder, code) || isEarlierImport(folder))
        return true;
    error = outputDir + ": the folder holds other files and no earlier import; choose a new or empty folder";
    return false;
}

bool writeImportFolder(const std::string& outputDir, const ImportFiles& files, const std::string& keptFile,
                       std::string& error)
{
    std::error_code code;
    const fs::path target = fs::absolute(outputDir).lexically_normal();
    const fs::path leaf = target.has_filename() ? target.filename() : target.parent_path().filename();
    const fs::path destination = target.has_filename() ? target : target.parent_path();
    const fs::path parent = destination.parent_path();
    const std::string serial = std::to_string(long(getpid()));
    const fs::path fresh = parent / ("." + leaf.string() + ".importing-" + serial);
    const fs::path replaced = parent / ("." + leaf.string() + ".replaced-" + serial);

    fs::create_directories(parent, code);
    fs::remove_all(fresh, code);
    if (!fs::create_directory(fresh, code)) {
        error = fresh.string() + ": cannot create (" + reason(code) + ")";
        return false;
    }
    if (!writeAll(fresh, files, error)) {
        fs::remove_all(fresh, code);
        return false;
    }

    const bool hadEarlier = fs::exists(destination, code);
    if (hadEarlier) {
        fs::rename(destination, replaced, code);
        if (code) {
            error = destination.string() + ": cannot replace (" + reason(code) + ")";
            fs::remove_all(fresh, code);
            return false;
        }
        if (!keptFile.empty() && staysInside(keptFile) && fs::exists(replaced / keptFile, code))
            fs::rename(replaced / keptFile, fresh / keptFile, code);
    }
    fs::rename(fresh, destination, code);
    if (code) {
        error = destination.string() + ": cannot move the import into place (" + reason(code) + ")";
        std::error_code ignored;
        if (hadEarlier) {
            if (!keptFile.empty())
                fs::rename(fresh / keptFile, replaced / keptFile, ignored);
            fs::rename(replaced, destination, ignored);
        }
        fs::remove_all(fresh, ignored);
        return false;
    }
    if (hadEarlier)
        fs::remove_all(replaced, code);
    return true;
}

}  // namespace Orvanta
