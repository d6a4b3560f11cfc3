#include "ReferenceMode.h"

#include "HeadlessScene.h"
#include "RenderOptions.h"
#include "SimulatedClock.h"
#include "TraceProgress.h"

#include "app/OrvantaApplication.h"
#include "app/Window.h"
#include "content/SceneVisibility.h"
#include "platform/gl/GlDebug.h"
#include "platform/HdrImage.h"
#include "platform/HeadlessContext.h"
#include "platform/PngFile.h"
#include "raytracing/PathSampling.h"
#include "raytracing/RayTracer.h"
#include "raytracing/ReferenceTracer.h"
#include "raytracing/SkyEnvironment.h"
#include "renderer/Renderer.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Orvanta {

namespace {

struct ReferenceOptions {
    uint32_t samples = 64;  // per pixel
    double seconds = 0.0;   // above 0: trace for this long instead (at least one sample)
    int bounces = 4;
    uint64_t seed = 0;
    OutsideLight light = OutsideLight::SunAndSky;
    bool halves = false;  // also write the two independent halves of the samples
    bool portals = true;
};

const char* referenceUsage()
{
    return "usage: orvanta-trace --reference [--spp N | --time SECONDS] [--bounces N] [--seed N]\n"
           "                     [--light both|sun|sky] [--halves] [--no-portals]\n"
           "                     [render options: --width --height --camera --time-of-day --inclination\n"
           "                      --scene --frame-scene --exposure --frame-time --frames --output FILE.png\n"
           "                      --hdr FILE.exr --debug]\n"
           "Path-traces the view the render tool would draw with the same options: the same camera,\n"
           "sun, sky, geometry and materials. Writes the linear picture as OpenEXR (--hdr, or the\n"
           "output's name with .exr) and the PNG through the frame's tone map. The exposure is --exposure\n"
           "or, without it, the one the real-time frame's eye settles at over --frames frames.\n"
           "--spp: samples per pixel (64); --time: trace whole samples until SECONDS have passed;\n"
           "--bounces: indirect bounces (4; 0 is direct light only); --seed: another noise pattern;\n"
           "--light: the sun's and the sky's light (both), or only the sun's or only the sky's, direct\n"
           "and bounced (the two parts add up to the whole picture).\n"
           "--halves: also write the means of the even and the odd samples, two independent pictures of\n"
           "half the samples each, as NAME-half0 and NAME-half1 (.exr and .png): their difference is the\n"
           "reference's own noise (the whole picture's error is about half of theirs, 6 dB better).\n"
           "--no-portals: seek a room's light only by the paths' own bounces, not also through the window\n"
           "panes (the same picture with more noise; for comparison).\n"
           "Prints the progress while it traces (on standard error) and, at the end, the mean luminance\n"
           "with its standard error over the samples.\n";
}

bool parseNumber(const std::string& text, double minimum, double maximum, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && value >= minimum && value <= maximum;
}

bool parseLight(const std::string& text, OutsideLight& light)
{
    if (text == "both")
        light = OutsideLight::SunAndSky;
    else if (text == "sun")
        light = OutsideLight::SunOnly;
    else if (text == "sky")
        light = OutsideLight::SkyOnly;
    else
        return false;
    return true;
}

// Takes the reference's own options out of the arguments; the rest are the render tool's.
bool parseReferenceOptions(const std::vector<std::string>& arguments, ReferenceOptions& options,
                           std::vector<std::string>& rest, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--reference")
            continue;
        if (a == "--halves") {
            options.halves = true;
            continue;
        }
        if (a == "--no-portals") {
            options.portals = false;
            continue;
        }
        if (a != "--spp" && a != "--time" && a != "--bounces" && a != "--seed" && a != "--light") {
            rest.push_back(a);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "option " + a + " needs a value";
            return false;
        }
        const std::string& v = arguments[++i];
        double value = 0.0;
        bool ok = true;
        if (a == "--light")
            ok = parseLight(v, options.light);
        else if (a == "--spp")
            ok = parseNumber(v, 1, 1 << 20, value) && value == double(uint32_t(value)),
            options.samples = uint32_t(value);
        else if (a == "--time")
            ok = parseNumber(v, 1e-3, 7 * 24 * 3600.0, value), options.seconds = value;
        else if (a == "--bounces")
            ok = parseNumber(v, 0, 1000, value) && value == double(int(value)), options.bounces = int(value);
        else
            ok = parseNumber(v, 0, 1e15, value) && value == double(uint64_t(value)), options.seed = uint64_t(value);
        if (!ok) {
            error = "option " + a + ": '" + v + "' is not a valid value";
            return false;
        }
    }
    return true;
}

std::string exrPathFor(const RenderOptions& options)
{
    if (!options.hdrOutput.empty())
        return options.hdrOutput;
    const std::string& png = options.output;
    const size_t dot = png.rfind('.');
    return (dot != std::string::npos && png.find('/', dot) == std::string::npos ? png.substr(0, dot) : png) + ".exr";
}

// NAME.exr -> NAME-halfK.exr
std::string halfPath(const std::string& path, int half)
{
    const size_t dot = path.rfind('.');
    const std::string suffix = "-half" + std::to_string(half);
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

double meanLuminance(const std::vector<double>& sum, double samples)
{
    double total = 0.0;
    for (size_t i = 0; i + 2 < sum.size(); i += 3)
        total += luminanceOf(Float3{float(sum[i] / samples), float(sum[i + 1] / samples), float(sum[i + 2] / samples)});
    return sum.empty() ? 0.0 : total / double(sum.size() / 3);
}

// The picture's mean luminance and its standard error: each sample pass over the picture is an
// independent estimate of the mean, so their spread tells how far the mean of all of them may be
// off.
struct MeanEstimate {
    double sum = 0.0, sumSquares = 0.0;
    uint32_t count = 0;
    void add(double value)
    {
        sum += value;
        sumSquares += value * value;
        ++count;
    }
    double mean() const { return count ? sum / count : 0.0; }
    double standardError() const
    {
        if (count < 2)
            return 0.0;
        const double variance = std::max(0.0, (sumSquares - sum * sum / count) / (count - 1));
        return std::sqrt(variance / count);
    }
};

bool writePicture(Renderer& renderer, Window& window, const HdrImage& hdr, float exposure, const std::string& exrPath,
                  const std::string& pngPath, std::string& error)
{
    if (!writeExr(exrPath, hdr, error) || !renderer.presentLinearImage(hdr, exposure, error))
        return false;
    const std::vector<uint8_t> pixels = window.headless()->readPixels();
    return writePng(pngPath, hdr.width, hdr.height, pixels, error);
}

}  // namespace

int runReference(const std::vector<std::string>& arguments)
{
    ReferenceOptions reference;
    RenderOptions options;
    std::vector<std::string> rest;
    std::string error;
    if (!parseReferenceOptions(arguments, reference, rest, error) || !parseRenderOptions(rest, options, error) ||
        !outputsWritable(options.output, exrPathFor(options), error)) {
        std::fprintf(stderr, "orvanta-trace: %s\n%s", error.c_str(), referenceUsage());
        return 2;
    }
    if (options.help) {
        std::printf("%s", referenceUsage());
        return 0;
    }
    if (options.debug)
        setGlDebug(true);
    // The picture is the scene's alone.
    options.noOverlay = true;
    OrvantaApplication application;
    if (!startHeadlessScene(options, application, error)) {
        std::fprintf(stderr, "orvanta-trace: %s\n", error.c_str());
        return mainWindow().contextLacksRequirements() ? 2 : 1;
    }
    Window& window = mainWindow();
    Renderer& renderer = window.renderer();
    SimulatedClock clock(options.frameSeconds);
    clock.install();
    // The real-time frame runs first: it brings the sun colour and the sky map up to date and,
    // without a fixed exposure, lets the eye settle on the view.
    const int frames = options.exposure > 0.0f ? 1 : options.frames;
    for (int frame = 0; frame < frames; ++frame) {
        clock.advanceFrame();
        updateVisibleSets(scene());
        renderer.renderFrame();
    }
    const float exposure = options.exposure > 0.0f ? options.exposure : renderer.toneMapExposure();

    RayTracer& tracer = rayTracer();
    if (tracer.kdTree.nodes.empty() || !tracer.kdTree.geometry) {
        std::fprintf(stderr, "orvanta-trace: the scene has no ray-traced geometry\n");
        return 1;
    }
    const SkyEnvironment sky = withOutsideLight(renderer.captureSkyEnvironment(), reference.light);
    const KdTree twoSided = twoSidedCopy(tracer.kdTree);
    ReferenceScene scene;
    scene.tree = &twoSided;
    scene.sky = &sky;
    scene.maxBounces = reference.bounces;
    scene.seed = reference.seed;
    scene.portals = reference.portals;
    ReferenceImage image;
    image.reset(uint32_t(options.width), uint32_t(options.height));
    TraceProgress progress(stderr, reference.samples, reference.seconds);
    uint64_t rays = 0;
    MeanEstimate luminance;
    std::vector<double> before(image.sum.size(), 0.0);
    while (reference.seconds > 0.0 ? (image.samples == 0 || progress.elapsedSeconds() < reference.seconds)
                                   : image.samples < reference.samples) {
        before = image.sum;
        rays += traceReferenceSamples(scene, renderer.camera(), image, 1, tracer.workerPool()).rays;
        for (size_t i = 0; i < before.size(); ++i)
            before[i] = image.sum[i] - before[i];
        luminance.add(meanLuminance(before, 1.0));
        progress.update(image.samples, rays);
    }
    progress.finish();
    const double seconds = progress.elapsedSeconds();
    const double paths = double(image.samples) * double(options.width) * double(options.height);
    std::printf("%dx%d, %u samples per pixel, up to %d bounces, exposure %.9g\n", options.width, options.height,
                image.samples, reference.bounces, exposure);
    std::printf("traced %llu rays in %.2f s on %u workers: %.2f Mrays/s, %.3f Msamples/s\n",
                static_cast<unsigned long long>(rays), seconds, tracer.workerCount(), double(rays) / seconds / 1e6,
                paths / seconds / 1e6);
    const double mean = luminance.mean(), standardError = luminance.standardError();
    std::printf("mean luminance %.6g, standard error %.3g (%.3f %%)\n", mean, standardError,
                mean > 0.0 ? 100.0 * standardError / mean : 0.0);

    HdrImage hdr;
    hdr.width = options.width;
    hdr.height = options.height;
    hdr.rgb = image.mean();
    hdr.exposure = exposure;
    const std::string exrPath = exrPathFor(options);
    if (!writePicture(renderer, window, hdr, exposure, exrPath, options.output, error)) {
        std::fprintf(stderr, "orvanta-trace: %s\n", error.c_str());
        return 1;
    }
    for (int half = 0; reference.halves && half < 2; ++half) {
        hdr.rgb = image.halfMean(half);
        if (!writePicture(renderer, window, hdr, exposure, halfPath(exrPath, half), halfPath(options.output, half),
                          error)) {
            std::fprintf(stderr, "orvanta-trace: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("wrote %s and %s\n", exrPath.c_str(), options.output.c_str());
    return glErrorTotal() > 0 ? 3 : 0;
}

}  // namespace Orvanta
