// orvanta-import: converts a model into the engine's own files (objects, materials, TGA
// textures and a scene) and prints what it made and the command that renders it.
//
//   orvanta-import [--scale S] [--up y|z] [--name NAME] [--engine-root DIR] [--max-memory N(M|G)]
//                  MODEL OUTDIR
#include "ImportOptions.h"
#include "MemoryLimit.h"
#include "ModelReader.h"
#include "NodePlacement.h"
#include "OutputFolder.h"
#include "SceneAssembly.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

using namespace Orvanta;

namespace {

namespace fs = std::filesystem;

std::string vectorText(Float3 v)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%.3f, %.3f, %.3f)", double(v.x), double(v.y), double(v.z));
    return text;
}

// The render tool beside this program, as a path from the working directory.
std::string renderToolPath()
{
    std::error_code code;
    const fs::path beside = fs::read_symlink("/proc/self/exe", code).parent_path() / "orvanta-render";
    if (code || !fs::exists(beside, code))
        return "orvanta-render";
    std::string path = beside.lexically_proximate(fs::current_path(code)).generic_string();
    return path.front() == '/' || path.front() == '.' ? path : "./" + path;
}

std::string summaryText(const ImportOptions& options, const ImportSummary& s)
{
    const Float3 size = s.boxMax - s.boxMin;
    const std::string scenePath = (fs::path(options.outputDir) / s.sceneFile).generic_string();
    std::string text;
    text += std::string(kImportMarkerStart) + ": " + options.modelPath + " -> " + scenePath + "\n";
    text += "  meshes     " + std::to_string(s.objects) + " objects from " + std::to_string(s.sourceMeshes) +
            " source meshes (" + std::to_string(s.bakedCopies) + " copies baked for shear or mirroring), " +
            std::to_string(s.instances) + " instances\n";
    text += "  triangles  " + std::to_string(s.objectTriangles) + " in objects, " + std::to_string(s.placedTriangles) +
            " placed\n";
    text += "  materials  " + std::to_string(s.materials) + " (" + std::to_string(s.alphaTested) + " alpha-tested, " +
            std::to_string(s.transparent) + " transparent, " + std::to_string(s.doubleSided) + " double-sided, " +
            std::to_string(s.metal) + " ray-traced metal, " + std::to_string(s.glass) + " ray-traced glass)\n";
    text += "  textures   " + std::to_string(s.textures) + "\n";
    text += "  scene box  " + vectorText(s.boxMin) + " to " + vectorText(s.boxMax) + ", size " + vectorText(size) +
            "\n";
    text += "  scene tag  " + s.sceneTag + "\n";
    text += "render it with\n  " + renderToolPath() + " --scene " + scenePath +
            " --frame-scene --width 1280 --height 720 --output " + fs::path(s.sceneFile).stem().string() + ".png\n";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    ImportOptions options;
    std::string error;
    if (!parseImportOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "orvanta-import: %s\n%s", error.c_str(), importUsage());
        return 2;
    }
    // Before anything is read: a model's header can make the model library reserve any amount.
    if (!limitAddressSpace(options.maxMemoryBytes, error)) {
        std::fprintf(stderr, "orvanta-import: %s\n", error.c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();

    AssemblySettings settings;
    settings.modelLabel = fs::path(options.modelPath).filename().string();
    settings.name = options.name.empty() ? safeStem(fs::path(options.modelPath).stem().string(), "model")
                                         : options.name;
    settings.root = importRootTransform(options.scale, options.upAxis);
    if (!resourcePrefixFor(options.outputDir, options.engineRoot, settings.resourcePrefix, error) ||
        !outputFolderReplaceable(options.outputDir, error)) {
        std::fprintf(stderr, "orvanta-import: %s\n", error.c_str());
        return 1;
    }

    ImportedModel model;
    ImportNotes notes;
    ImportFiles files;
    ImportSummary summary;
    bool imported = false;
    try {
        imported = readModel(options.modelPath, model, notes, error) &&
                   assembleImport(model, settings, notes, files, summary, error);
    } catch (const std::bad_alloc&) {
        imported = false;
    }
    if (memoryLimitReached()) {
        // What was read is freed on the way out; the message needs little.
        model = ImportedModel{};
        files.clear();
        std::fprintf(stderr,
                     "orvanta-import: %s: needs more than the %s of memory the import may use "
                     "(--max-memory raises the limit)\n",
                     options.modelPath.c_str(), memoryText(options.maxMemoryBytes).c_str());
        return 1;
    }
    for (const std::string& note : notes.all())
        std::fprintf(stderr, "orvanta-import: %s: %s\n", options.modelPath.c_str(), note.c_str());
    if (imported) {
        const std::string text = summaryText(options, summary);
        files[kImportMarkerFile] = std::vector<uint8_t>(text.begin(), text.end());
        const std::string kdTreeFile = fs::path(summary.sceneFile).stem().string() + ".kdTree";
        imported = writeImportFolder(options.outputDir, files, kdTreeFile, error);
        if (imported) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%s  import time %.2f s\n", text.c_str(), seconds);
            return 0;
        }
    }
    std::fprintf(stderr, "orvanta-import: %s: %s\n", options.modelPath.c_str(), error.c_str());
    return 1;
}
