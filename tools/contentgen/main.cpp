// orvanta-contentgen: writes every generated resource of the demo (scene, objects, textures,
// sounds) under <root>/resources/. Usage: orvanta-contentgen [--root DIR] [--preview FILE.png]
// --preview also rasterises the scene from the start camera into FILE.png for a quick look.
#include "AmbientSounds.h"
#include "DemoSurfaces.h"
#include "KindergartenScene.h"
#include "platform/Log.h"
#include "Random.h"
#include "ScenePreview.h"
#include "UiImages.h"

#include <filesystem>
#include <string>
#include <thread>

using namespace Orvanta;

namespace {

bool makeDirectory(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
        logError(path + ": cannot create directory: " + ec.message());
        return false;
    }
    return true;
}

bool writeTextures(const std::string& textures)
{
    std::vector<SurfaceTextureDef> surfaces = demoSurfaces();
    std::vector<std::string> errors(surfaces.size());
    // Two workers: texture synthesis is the slow part of generation.
    auto work = [&](size_t first) {
        for (size_t i = first; i < surfaces.size(); i += 2) {
            SurfaceMaps maps = renderSurface(surfaces[i]);
            if (!writeSurfaceMaps(textures, surfaces[i], maps, errors[i]) && errors[i].empty())
                errors[i] = surfaces[i].stem + ": write failed";
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    for (const std::string& e : errors) {
        if (!e.empty()) {
            logError(e);
            return false;
        }
    }
    Picture noise(32, 32);
    Random random(99u);
    for (uint8_t& b : noise.rgba)
        b = static_cast<uint8_t>(random.next() & 0xFF);
    std::string error;
    if (!writePicture(textures + "/engine/shadowSamplingNoise.tga", noise, false, error)) {
        logError(error);
        return false;
    }
    if (!writeUiImages(textures + "/UI", error)) {
        logError(error);
        return false;
    }
    return true;
}

bool writeObjects(const std::string& objects, const std::string& preview)
{
    KindergartenContent content = buildKindergarten();
    if (!preview.empty()) {
        std::string previewError;
        if (!writeScenePreview(content, preview, previewError)) {
            logError(previewError);
            return false;
        }
    }
    std::string error;
    for (const auto& [name, data] : content.objects) {
        if (!writeObjectFile(objects + "/scene/" + name, data, error)) {
            logError(error);
            return false;
        }
    }
    if (!writeObjectFile(objects + "/sky.object", content.sky, error) ||
        !writeSceneFile(objects + "/scene/kindergarten.scene", content.scene, error)) {
        logError(error);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string root = ".";
    std::string preview;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (arg == "--preview" && i + 1 < argc) {
            preview = argv[++i];
        } else {
            logError("orvanta-contentgen: unknown argument '" + arg +
                     "' (usage: orvanta-contentgen [--root DIR] [--preview FILE.png])");
            return 2;
        }
    }
    std::string resources = root + "/resources";
    for (const char* dir : {"/objects/scene", "/textures/kindergarten", "/textures/engine", "/textures/UI", "/audio"})
        if (!makeDirectory(resources + dir))
            return 1;
    std::string error;
    if (!writeObjects(resources + "/objects", preview) || !writeTextures(resources + "/textures"))
        return 1;
    if (!writeAmbientSounds(resources + "/audio", error)) {
        logError(error);
        return 1;
    }
    return 0;
}
