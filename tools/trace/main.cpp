// orvanta-trace: the CPU ray tracer on its own. Loads the scene's ray-tracing geometry and
// kd-tree (building and saving the tree when its file is missing or stale), traces one camera ray
// per pixel of the start view on the ray tracer's workers, tile by tile, and writes what the traced
// G-buffer holds as a picture: the sampled colour lit by a fixed light along the shading normal,
// misses in a flat sky colour. No GL context is needed. --frame-scene replaces the start view by
// one that sees the whole scene from the light's side.
//
//   orvanta-trace [--scene PATH] [--frame-scene] [--width W] [--height H] [--threads N]
//                 [--output FILE.png]
//   orvanta-trace --reference ...   the reference path tracer (ReferenceMode.h)
#include "ReferenceMode.h"

#include "app/OptionValues.h"
#include "content/KdTree.h"
#include "content/RayTracingScene.h"
#include "content/SceneFile.h"
#include "platform/FileAccess.h"
#include "platform/HeadlessContext.h"
#include "raytracing/HalfFloat.h"
#include "raytracing/PixelTracing.h"
#include "raytracing/RayTracer.h"
#include "renderer/StartCamera.h"
#include "scene/Camera.h"
#include "scene/CameraFraming.h"
#include "scene/SrgbCurve.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Orvanta;

namespace {

struct Options {
    std::string scene = "resources/objects/scene/kindergarten.scene";
    std::string output = "build/trace.png";
    int width = 640;
    int height = 360;
    int threads = 4;
    bool frameScene = false;
};

// Direction towards the fixed light the picture is shaded with.
constexpr Float3 kTowardLight{0.4f, 0.8f, 0.3f};

// False with a message naming the option and its value.
bool parse(int argc, char** argv, Options& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frame-scene") {
            o.frameScene = true;
            continue;
        }
        if (arg != "--scene" && arg != "--output" && arg != "--width" && arg != "--height" && arg != "--threads") {
            error = "option " + arg + " is not known";
            return false;
        }
        if (i + 1 >= argc) {
            error = "option " + arg + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (arg == "--scene")
            o.scene = value;
        else if (arg == "--output")
            o.output = value;
        else if (arg == "--width")
            ok = parseWholeNumber(value, o.width, 1, 8192);
        else if (arg == "--height")
            ok = parseWholeNumber(value, o.height, 1, 8192);
        else
            ok = parseWholeNumber(value, o.threads, 1, 64);
        if (!ok) {
            error = "option " + arg + ": '" + value + "' is not a valid value (" +
                    (arg == "--threads" ? "a whole number from 1 to 64" : "a whole number from 1 to 8192") + ")";
            return false;
        }
    }
    const std::string problem = outputPathProblem(o.output);
    if (!problem.empty()) {
        error = "option --output: '" + o.output + "' " + problem;
        return false;
    }
    return true;
}

double since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    for (const std::string& a : arguments)
        if (a == "--reference")
            return runReference(arguments);
    Options options;
    std::string problem;
    if (!parse(argc, argv, options, problem)) {
        std::fprintf(stderr,
                     "orvanta-trace: %s\nusage: orvanta-trace [--scene PATH] [--frame-scene] [--width W] "
                     "[--height H] [--threads N] [--output FILE.png]\n",
                     problem.c_str());
        return 2;
    }

    auto start = std::chrono::steady_clock::now();
    RayTracer tracer;
    std::string tag, error;
    bool complete = true;
    if (!loadRayTracingScene(options.scene, tracer.geometry, tag, error, true, &complete)) {
        std::fprintf(stderr, "orvanta-trace: %s\n", error.c_str());
        return 1;
    }
    const double loadSeconds = since(start);
    start = std::chrono::steady_clock::now();
    tracer.kdTree.geometry = &tracer.geometry;
    obtainKdTree(tracer.kdTree, kdTreePathForScene(options.scene), tag,
                 complete ? KdTreeSource::SceneComplete : KdTreeSource::ScenePartial);
    const double treeSeconds = since(start);

    // The ray inputs as the GPU writes them: half-float origin and direction per pixel, w > 0.001
    // marking a ray. Row 0 of the region is the bottom row of the picture, as in GL.
    const uint32_t w = uint32_t(options.width), h = uint32_t(options.height);
    Camera camera;
    placeAtStartView(camera, float(w) / float(h));
    const KdTree& tree = tracer.kdTree;
    if (options.frameScene &&
        (tree.nodes.empty() || !frameBox(camera, tree.rootBox.boxMin, tree.rootBox.boxMax, -normalize(kTowardLight)))) {
        std::fprintf(stderr, "orvanta-trace: --frame-scene: the scene has no opaque triangles to frame\n");
        return 1;
    }
    const size_t pixels = size_t(w) * h;
    std::vector<uint16_t> origins(pixels * 4), directions(pixels * 4), normals(pixels * 4), positions(pixels * 4);
    std::vector<uint8_t> colors(pixels * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = (x + size_t(w) * y) * 4;
            const Float3 d = normalize(
                frustumRay(camera.frustum, (float(x) + 0.5f) / float(w), 1.0f - (float(y) + 0.5f) / float(h)));
            const float o[4] = {camera.position.x, camera.position.y, camera.position.z, 1.0f};
            const float dir[4] = {d.x, d.y, d.z, 1.0f};
            for (int c = 0; c < 4; ++c) {
                origins[i + c] = narrowToHalf(o[c]);
                directions[i + c] = narrowToHalf(dir[c]);
            }
        }
    TraceRegion region{w, h, origins.data(), directions.data(), colors.data(), normals.data(), positions.data()};

    // The whole picture is the traced region; the workers take its 40 x 40 tiles.
    tracer.create(w, h, unsigned(options.threads));
    tracer.setRegion(0.0f, 0.0f, 1.0f, 1.0f);
    start = std::chrono::steady_clock::now();
    const uint64_t rays = tracer.traceRegion(region);
    const double traceSeconds = since(start);

    const Float3 light = normalize(kTowardLight);
    std::vector<uint8_t> image(pixels * 4);
    size_t hits = 0;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = (x + size_t(w) * y) * 4;
            uint8_t* out = &image[(x + size_t(w) * (h - 1 - y)) * 4];
            out[3] = 255;
            if (positions[i + 3] != 0) {  // a miss sets w to 1
                out[0] = 150, out[1] = 190, out[2] = 235;
                continue;
            }
            ++hits;
            const Float3 n{widenHalf(normals[i]), widenHalf(normals[i + 1]), widenHalf(normals[i + 2])};
            const float lit = 0.3f + 0.7f * std::max(0.0f, dot(n, light));
            // Traced colours are linear (colour images are decoded from sRGB when loaded); the
            // picture is not.
            for (int c = 0; c < 3; ++c)
                out[c] = linearToSrgbByte(float(colors[i + c]) / 255.0f * lit);
        }
    if (!writePng(options.output, int(w), int(h), image, error)) {
        std::fprintf(stderr, "orvanta-trace: %s\n", error.c_str());
        return 1;
    }
    std::printf("scene %s: %zu triangles, loaded in %.2f s; kd-tree ready in %.2f s\n", options.scene.c_str(),
                tracer.geometry.triangles.size(), loadSeconds, treeSeconds);
    std::printf("traced %llu rays (%zu hits) on %u threads in %.3f s: %.2f Mrays/s\n",
                static_cast<unsigned long long>(rays), hits, tracer.workerCount(), traceSeconds,
                double(rays) / traceSeconds / 1e6);
    std::printf("wrote %s\n", options.output.c_str());
    return 0;
}
