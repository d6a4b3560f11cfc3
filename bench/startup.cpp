// How long the demo takes to start: from process start to the first frame's draw calls, warm (the
// ".kdTree" file present) and cold (the tree built and saved first), with the time of every
// start-up stage. Each start is a fresh process of this program, headless at 1280 x 720, on a
// copy of the demo scene in a temporary folder (links to its objects), so the demo's own tree
// file is never touched. Prints the fastest start of each kind, stage by stage.
// Run from the source root.
//
//   bench_startup [--runs N] [--width W] [--height H]
#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneVisibility.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "renderer/Renderer.h"
#include "scene/Scene.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Orvanta;
namespace fs = std::filesystem;

namespace {

int64_t monotonicNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double secondsBetween(int64_t a, int64_t b)
{
    return double(b - a) * 1e-9;
}

// The stages of one start, in print order.
constexpr int kStageCount = 15;
const char* const kStageNames[kStageCount] = {"exec, libraries, static set-up",
                                              "renderer (context, passes)",
                                              "audio output",
                                              "scene file",
                                              "objects (GL, textures)",
                                              "ray-tracing geometry, images",
                                              "kd-tree read or build+save",
                                              "waiting for the ray tracer's half",
                                              "sky",
                                              "ambient sounds",
                                              "panel",
                                              "process start -> ready to draw",
                                              "first frame: draw calls",
                                              "process start -> first frame drawn",
                                              "first frame finished (glFinish)"};

// One start in this process; prints the stage times on one line for the parent.
int child(const std::string& scenePath, int64_t spawned, int width, int height)
{
    const int64_t entered = monotonicNanoseconds();
    Window::requestHeadless(width, height);
    OrvantaApplication application;
    if (!application.initInstance(scenePath.c_str()))
        return 1;
    Renderer& renderer = mainWindow().renderer();
    const int64_t ready = monotonicNanoseconds();
    updateVisibleSets(scene());
    renderer.renderFrame();
    const int64_t drawn = monotonicNanoseconds();
    glFinish();
    const int64_t finished = monotonicNanoseconds();

    const StartupTimes& t = application.startupTimes;
    const double stages[kStageCount] = {secondsBetween(spawned, entered),
                                        t.renderer,
                                        t.audio,
                                        t.scene.sceneFile,
                                        t.scene.objects,
                                        t.scene.rayGeometry,
                                        t.scene.kdTree,
                                        t.scene.rayTracingWait,
                                        t.sky,
                                        t.sounds,
                                        t.panel,
                                        secondsBetween(spawned, ready),
                                        secondsBetween(ready, drawn),
                                        secondsBetween(spawned, drawn),
                                        secondsBetween(drawn, finished)};
    std::printf("STAGES %d", t.scene.kdTreeBuilt ? 1 : 0);
    for (double s : stages)
        std::printf(" %.6f", s);
    std::printf("\n");
    return 0;
}

struct Run {
    bool built = false;
    double stages[kStageCount] = {};
};

bool startChild(const char* self, const std::string& scenePath, int width, int height, Run& run)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const std::string spawned = std::to_string(monotonicNanoseconds());
    const std::string w = std::to_string(width), h = std::to_string(height);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execl(self, self, "--child", scenePath.c_str(), spawned.c_str(), w.c_str(), h.c_str(), nullptr);
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, size_t(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    const size_t at = output.find("STAGES ");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || at == std::string::npos) {
        std::fprintf(stderr, "bench_startup: a start failed:\n%s\n", output.c_str());
        return false;
    }
    const char* p = output.c_str() + at + 7;
    char* end = nullptr;
    run.built = std::strtol(p, &end, 10) != 0;
    for (double& s : run.stages) {
        p = end;
        s = std::strtod(p, &end);
    }
    return true;
}

// The run that was ready to draw soonest (its stages add up to its total).
Run fastest(const std::vector<Run>& runs)
{
    return *std::min_element(runs.begin(), runs.end(),
                             [](const Run& a, const Run& b) { return a.stages[11] < b.stages[11]; });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && !std::strcmp(argv[1], "--child"))
        return child(argv[2], std::atoll(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));

    int runs = 3, width = 1280, height = 720;
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && !std::strcmp(argv[i], "--runs"))
            runs = std::atoi(argv[++i]);
        else if (i + 1 < argc && !std::strcmp(argv[i], "--width"))
            width = std::atoi(argv[++i]);
        else if (i + 1 < argc && !std::strcmp(argv[i], "--height"))
            height = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: bench_startup [--runs N] [--width W] [--height H]\n");
            return 2;
        }
    }
    if (runs < 1 || width < 2 || height < 2) {
        std::fprintf(stderr, "bench_startup: runs must be at least 1 and the size at least 2 x 2\n");
        return 2;
    }

    // The scene copy: the scene file itself, and links to everything beside it except its tree.
    const fs::path demo = fs::path(sceneFilePath).parent_path();
    const fs::path folder = fs::temp_directory_path() / ("orvanta-startup-" + std::to_string(getpid()));
    std::error_code error;
    fs::create_directories(folder, error);
    for (const fs::directory_entry& entry : fs::directory_iterator(demo, error)) {
        const fs::path name = entry.path().filename();
        if (name.extension() == ".kdTree")
            continue;
        if (name.extension() == ".scene")
            fs::copy_file(entry.path(), folder / name, fs::copy_options::overwrite_existing, error);
        else
            fs::create_symlink(fs::absolute(entry.path()), folder / name, error);
    }
    const std::string scenePath = (folder / fs::path(sceneFilePath).filename()).string();
    const fs::path treePath = folder / fs::path(sceneFilePath).filename().replace_extension(".kdTree");

    std::vector<Run> cold, warm;
    bool ok = true;
    for (int i = 0; i < runs && ok; ++i) {
        fs::remove(treePath, error);
        Run run;
        ok = startChild(argv[0], scenePath, width, height, run) && run.built;
        cold.push_back(run);
        for (int j = 0; j < 2 && ok; ++j) {  // two warm starts per cold one: the first reads a fresh file
            ok = startChild(argv[0], scenePath, width, height, run) && !run.built;
            warm.push_back(run);
        }
    }
    fs::remove_all(folder, error);
    if (!ok) {
        std::fprintf(stderr, "bench_startup: a start failed or the tree was %s\n", "not obtained as expected");
        return 1;
    }

    const Run w = fastest(warm), c = fastest(cold);
    std::printf("start-up of the demo scene, headless %d x %d; fastest of %zu warm and of %zu cold starts\n", width,
                height, warm.size(), cold.size());
    std::printf("%-36s %10s %10s\n", "stage", "warm s", "cold s");
    std::printf("(the ray tracer's geometry and tree load on their own thread beside the renderer and objects)\n");
    for (int i = 0; i < kStageCount; ++i)
        std::printf("%-36s %10.3f %10.3f\n", kStageNames[i], w.stages[i], c.stages[i]);
    return 0;
}
