// The reference path tracer against closed forms: scenes whose light transport has an exact answer.
#include "KdTestScenes.h"
#include "support/TracedQuads.h"

#include "content/RtImage.h"
#include "raytracing/HalfFloat.h"
#include "raytracing/PathSampling.h"
#include "raytracing/PixelTracing.h"
#include "raytracing/RayTracer.h"
#include "raytracing/RayWorkerPool.h"
#include "raytracing/ReferenceTracer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <thread>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

// A scene of quads sharing one albedo and no specular lobe.
struct LambertScene {
    TestScene scene;
    RtImage albedo;
    RtImage noSpecular = solidImage(0.0f);
    KdTree tree;

    explicit LambertScene(float reflectance) : albedo(solidImage(reflectance)) {}

    void quad(Float3 a, Float3 b, Float3 c, Float3 d)
    {
        scene.add(a, b, c);
        scene.add(a, c, d);
    }
    void finish()
    {
        for (RtSurface& s : scene.geometry.surfaces) {
            s.colorImage = &albedo;
            s.specularImage = &noSpecular;
        }
        tree = twoSidedCopy(built(scene));
        tree.geometry = &scene.geometry;
    }
};

Camera cameraAt(Float3 position, Float3 target, float aspect)
{
    Camera camera;
    camera.aspectRatio = aspect;
    camera.fieldOfView = 60.0f;
    camera.nearDistance = 0.1f;
    camera.farDistance = 1000.0f;
    camera.position = position;
    // Cameras look along local +z: turn +z onto the viewing direction.
    const Float3 forward = normalize(target - position);
    const Float3 axis = cross(Float3{0, 0, 1}, forward);
    const float angle = std::acos(std::clamp(forward.z, -1.0f, 1.0f));
    camera.orientation = length(axis) > 1e-6f ? fromAxisAngle(normalize(axis), angle) : Quaternion{};
    camera.updateTransform();
    camera.updateMatrices();
    return camera;
}

ReferenceImage render(const KdTree& tree, const SkyEnvironment& sky, const Camera& camera, uint32_t size,
                      uint32_t samples, int bounces, uint64_t seed, RayWorkerPool* pool)
{
    ReferenceScene scene;
    scene.tree = &tree;
    scene.sky = &sky;
    scene.maxBounces = bounces;
    scene.seed = seed;
    ReferenceImage image;
    image.reset(size, size);
    traceReferenceSamples(scene, camera, image, samples, pool);
    return image;
}

// A plane far larger than the view, so that each of its points sees only sky above it.
void groundPlane(LambertScene& s)
{
    const float r = 5000.0f;
    s.quad({-r, 0, -r}, {-r, 0, r}, {r, 0, r}, {r, 0, -r});
    s.finish();
}

const Camera kDownward = cameraAt({0.0f, 2.0f, 0.0f}, {0.5f, 0.0f, 1.0f}, 1.0f);

// A uniform sky of the given radiance with the sun at the given elevation (radians) over +z.
SkyEnvironment skyWithSun(Float3 skyRadiance, float elevation, Float3 sunIrradiance)
{
    SkyEnvironment sky = uniformSky(skyRadiance);
    sky.towardSun = {0.0f, std::sin(elevation), std::cos(elevation)};
    sky.sunIrradiance = sunIrradiance;
    sky.sunCosRadius = std::cos(kSunAngularRadius);
    return sky;
}

// Adds a square sheet (a transparent surface) of the given side, centre and normal axis (1: y,
// 2: z) whose colour image holds colour c and coverage a.
void addSheet(TestScene& scene, RtImage& image, float c, float a, float centre, int axis)
{
    RtImageLevel level;
    level.width = level.height = 1;
    level.texels = {{c, c, c, a}};
    image.levels = {level};
    RtSurface& surface = scene.geometry.surfaces.emplace_back();
    surface.colorImage = &image;
    surface.transparent = 1;
    const float r = 5000.0f;
    const uint32_t base = uint32_t(scene.geometry.vertices.size());
    for (const auto& [u, v] : {std::pair{-r, -r}, {r, -r}, {r, r}, {-r, r}}) {
        RtVertex vertex;
        vertex.position = axis == 1 ? Float3{u, centre, v} : Float3{u, v, centre};
        vertex.normal = axis == 1 ? Float3{0, 1, 0} : Float3{0, 0, 1};
        scene.geometry.vertices.push_back(vertex);
    }
    for (const auto& [i1, i2] : {std::pair{1u, 2u}, {2u, 3u}}) {
        RtTriangle t;
        t.index0 = base, t.index1 = base + i1, t.index2 = base + i2;
        t.surface = &surface;
        scene.geometry.sheets.push_back(t);
    }
}

double meanLuminanceOf(const ReferenceImage& image)
{
    const std::vector<float> mean = image.mean();
    double sum = 0.0;
    for (size_t i = 0; i < mean.size(); i += 3)
        sum += luminanceOf({mean[i], mean[i + 1], mean[i + 2]});
    return sum / double(mean.size() / 3);
}

}  // namespace

TEST(ReferenceTracer, OpenBoxOfAlbedoOneUnderAUniformSkyShowsTheSkyInEveryPixel)
{
    // The white furnace: no energy may be lost or made, whatever the paths do between the walls.
    LambertScene s(1.0f);
    const Float3 lo{-1, 0, -1}, hi{1, 2, 1};
    s.quad({lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z});  // floor
    s.quad({lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z});
    s.quad({lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z});
    s.quad({lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z});
    s.quad({hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z});  // open top
    s.finish();
    const SkyEnvironment sky = uniformSky({0.8f, 0.8f, 0.8f});
    RayWorkerPool pool(2);
    const ReferenceImage image = render(s.tree, sky, cameraAt({0.3f, 3.5f, -2.2f}, {0.0f, 0.5f, 0.0f}, 1.0f), 6, 16384,
                                        400, 5, &pool);
    const std::vector<float> mean = image.mean();
    for (size_t i = 0; i < mean.size(); ++i)
        EXPECT_NEAR(mean[i], 0.8f, 0.008f) << "value " << i;
}

TEST(ReferenceTracer, PlaneUnderAUniformSkyReceivesPiTimesTheRadiance)
{
    // Irradiance pi L, reflected as albedo / pi: the plane shows albedo times the sky's radiance.
    LambertScene s(0.5f);
    groundPlane(s);
    const SkyEnvironment sky = uniformSky({1.0f, 2.0f, 0.5f});
    RayWorkerPool pool(2);
    const ReferenceImage image = render(s.tree, sky, kDownward, 8, 512, 2, 2, &pool);
    const std::vector<float> mean = image.mean();
    double sum[3] = {0, 0, 0};
    for (size_t i = 0; i < mean.size(); ++i)
        sum[i % 3] += mean[i];
    const double pixels = double(mean.size() / 3);
    EXPECT_NEAR(sum[0] / pixels, 0.5, 0.005);
    EXPECT_NEAR(sum[1] / pixels, 1.0, 0.01);
    EXPECT_NEAR(sum[2] / pixels, 0.25, 0.0025);
}

TEST(ReferenceTracer, ThinSheetShowsTheSkyByItsCoverageAndScattersTheRest)
{
    RayWorkerPool pool(2);
    const SkyEnvironment sky = uniformSky({1.0f, 1.0f, 1.0f});
    {
        // A sheet of coverage a and colour c facing the camera, under a uniform sky L on both sides
        // (irradiance pi L each), scatters c / (2 pi) * 2 pi L = c L; the rest shows the sky:
        // (1 - a) L + a c L = 0.8. The tree needs a triangle: a small one far behind the camera,
        // hiding a negligible part of the sky.
        LambertScene s(0.0f);
        s.quad({-1, -1, -4000}, {1, -1, -4000}, {1, 1, -4000}, {-1, 1, -4000});
        s.finish();
        RtImage sheet;
        addSheet(s.scene, sheet, 0.6f, 0.5f, 0.0f, 2);
        const ReferenceImage image = render(s.tree, sky, cameraAt({0, 0, -2}, {0, 0, 0}, 1.0f), 8, 1024, 3, 7, &pool);
        EXPECT_NEAR(meanLuminanceOf(image), 0.8, 0.01);
    }
    {
        // A black sheet of coverage a above a plane of albedo 0.5 passes (1 - a) of the sky's
        // light: the plane shows 0.5 (1 - a) L = 0.25 from below the sheet.
        LambertScene s(0.5f);
        groundPlane(s);
        RtImage sheet;
        addSheet(s.scene, sheet, 0.0f, 0.5f, 1.0f, 1);
        const ReferenceImage image = render(s.tree, sky, cameraAt({0, 0.5f, 0}, {0.2f, 0, 0.2f}, 1.0f), 8, 1024, 3, 8,
                                            &pool);
        EXPECT_NEAR(meanLuminanceOf(image), 0.25, 0.005);
    }
}

TEST(ReferenceTracer, SunLitPlaneReflectsAlbedoOverPiTimesTheIrradianceAtItsAngle)
{
    LambertScene s(0.6f);
    groundPlane(s);
    const float elevation = 0.5f;
    const SkyEnvironment sky = skyWithSun({0.0f, 0.0f, 0.0f}, elevation, {3.0f, 2.0f, 1.0f});
    const ReferenceImage image = render(s.tree, sky, kDownward, 8, 16, 3, 3, nullptr);
    const std::vector<float> mean = image.mean();
    for (size_t i = 0; i < mean.size(); ++i) {
        const float irradiance = i % 3 == 0 ? 3.0f : (i % 3 == 1 ? 2.0f : 1.0f);
        const float expected = 0.6f / EnginePi * irradiance * std::sin(elevation);
        EXPECT_NEAR(mean[i], expected, 0.005f * expected) << "value " << i;
    }
}

TEST(ReferenceTracer, SunAloneAndSkyAloneEachLightThePlaneByTheirOwnClosedForm)
{
    // A plane under both sources, traced with one taken out at a time: albedo / pi * E sin(elevation)
    // from the sun alone, albedo * L from the sky alone (each path's light split by its source).
    LambertScene s(0.6f);
    groundPlane(s);
    const float elevation = 0.5f;
    const SkyEnvironment both = skyWithSun({0.5f, 0.5f, 0.5f}, elevation, {3.0f, 3.0f, 3.0f});
    RayWorkerPool pool(2);
    auto planeMean = [&](OutsideLight light) {
        const SkyEnvironment sky = withOutsideLight(both, light);
        const std::vector<float> mean = render(s.tree, sky, kDownward, 8, 512, 2, 4, &pool).mean();
        double sum = 0.0;
        for (float value : mean)
            sum += value;
        return sum / double(mean.size());
    };
    const double sun = 0.6 / EnginePi * 3.0 * std::sin(elevation), sky = 0.6 * 0.5;
    EXPECT_NEAR(planeMean(OutsideLight::SunOnly), sun, 0.005 * sun);
    EXPECT_NEAR(planeMean(OutsideLight::SkyOnly), sky, 0.01 * sky);
    EXPECT_NEAR(planeMean(OutsideLight::SunAndSky), sun + sky, 0.01 * (sun + sky));
}

TEST(ReferenceTracer, SunThroughAPaneOrWaterIsDimmedByItsTransmissionAndFresnelReflection)
{
    // A horizontal pane above a lit plane: the light under it is the sun's times what the pane lets
    // through, (1 - F) times its transmission colour, found by the direct estimate through the glass.
    // Under a flat water surface the plane gets the same: the bent beam keeps its cross-section.
    for (bool thin : {true, false}) {
        LambertScene s(0.6f);
        const float r = 5000.0f, h = 3.0f;
        s.quad({-r, 0, -r}, {-r, 0, r}, {r, 0, r}, {r, 0, -r});
        s.quad({-r, h, -r}, {r, h, -r}, {r, h, r}, {-r, h, r});
        s.finish();
        for (size_t i = s.scene.geometry.surfaces.size() - 2; i < s.scene.geometry.surfaces.size(); ++i) {
            RtSurface& glass = s.scene.geometry.surfaces[i];
            glass.hasMirrorPass = 1;
            glass.optics.reflectance = 0.1f;
            glass.optics.isThin = thin;
            glass.optics.indexOfRefraction = 1.33f;
            glass.optics.transmissionColor = {0.8f, 0.7f, 0.6f};
        }
        const float elevation = 0.9f;
        const SkyEnvironment sky = skyWithSun({0.0f, 0.0f, 0.0f}, elevation, {3.0f, 3.0f, 3.0f});
        const float cosine = std::sin(elevation);
        const float fresnel = 0.1f + 0.9f * std::pow(1.0f - cosine, 5.0f);
        // Direct light only: with bounces the plane's light would come back from the pane's underside.
        const std::vector<float> mean = render(s.tree, sky, kDownward, 8, 64, 0, 4, nullptr).mean();
        const float tint[3] = {0.8f, 0.7f, 0.6f};
        for (size_t i = 0; i < mean.size(); ++i) {
            const float expected = 0.6f / EnginePi * 3.0f * cosine * (1.0f - fresnel) * tint[i % 3];
            EXPECT_NEAR(mean[i], expected, 0.01f * expected) << (thin ? "pane" : "water") << " value " << i;
        }
    }
}

TEST(ReferenceTracer, QuadruplingTheSamplesHalvesTheNoise)
{
    LambertScene s(0.7f);
    groundPlane(s);
    const SkyEnvironment sky = uniformSky({1.0f, 1.0f, 1.0f});
    RayWorkerPool pool(2);
    // Every pixel of the plane has the same expected value, so the spread over pixels is the noise.
    auto spread = [&](uint32_t samples, uint64_t seed) {
        const std::vector<float> mean = render(s.tree, sky, kDownward, 48, samples, 1, seed, &pool).mean();
        double sum = 0, squares = 0;
        const size_t n = mean.size() / 3;
        for (size_t i = 0; i < n; ++i) {
            sum += mean[i * 3];
            squares += double(mean[i * 3]) * mean[i * 3];
        }
        return std::sqrt(squares / double(n) - (sum / double(n)) * (sum / double(n)));
    };
    const double few = spread(4, 10), many = spread(16, 11);
    ASSERT_GT(few, 0.0);
    EXPECT_NEAR(few / many, 2.0, 0.15);
}

TEST(ReferenceTracer, SkySamplingDensityMatchesTheDirectionsItDraws)
{
    // A sky with one bright band: a histogram of drawn directions over coarse bins must follow the
    // density the tracer assumes for its sky estimate (an error here biases every picture).
    SkyEnvironment sky;
    sky.width = 16;
    sky.height = 8;
    for (uint32_t y = 0; y < sky.height; ++y)
        for (uint32_t x = 0; x < sky.width; ++x)
            sky.radiance.push_back(Float3{1, 1, 1} * (y == 5 ? 20.0f : (x == 3 ? 4.0f : 0.2f)));
    prepareSkySampling(sky);
    // Estimate the sphere's solid angle and the sky's mean radiance by importance sampling.
    SampleGenerator random(7, 7);
    double sphere = 0.0, radiance = 0.0, uniformRadiance = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        float pdf = 0.0f;
        const Float3 d = sampleSkyDirection(sky, random.uniform(), random.uniform(), pdf);
        ASSERT_GT(pdf, 0.0f);
        EXPECT_NEAR(skyDirectionPdf(sky, d) / pdf, 1.0f, 1e-3f);
        sphere += 1.0 / pdf;
        radiance += skyRadianceIn(sky, d).x / pdf;
        // The same integral by uniform sphere sampling, a second estimator the tables do not enter.
        const float z = 1.0f - 2.0f * random.uniform();
        const float phi = 2.0f * EnginePi * random.uniform();
        const float r = std::sqrt(std::max(0.0f, 1.0f - z * z));
        uniformRadiance += skyRadianceIn(sky, {r * std::cos(phi), z, r * std::sin(phi)}).x * 4.0 * EnginePi;
    }
    EXPECT_NEAR(sphere / n, 4.0 * EnginePi, 0.01 * 4.0 * EnginePi);
    EXPECT_NEAR(radiance / n, uniformRadiance / n, 0.01 * uniformRadiance / n);
}

TEST(ReferenceTracer, LightSoughtThroughThePanesChangesTheNoiseNotThePicture)
{
    // A closed room lit only through a skylight of two panes, seen facing a wall the light through
    // it does not reach directly: by the sun alone, the wall's light has bounced off the sun's
    // patch on the floor; by the sky alone, it came in through the panes at every angle. Seeking
    // that light through the panes must give the picture the paths' own bounces give (within
    // their combined noise), with less noise: a wrong density would brighten or darken the room.
    LambertScene s(0.6f);
    const float w = 2.0f, h = 3.0f, hole = 0.5f;
    s.quad({-w, 0, -w}, {-w, 0, w}, {w, 0, w}, {w, 0, -w});  // floor
    s.quad({-w, 0, -w}, {w, 0, -w}, {w, h, -w}, {-w, h, -w});
    s.quad({-w, 0, w}, {-w, h, w}, {w, h, w}, {w, 0, w});
    s.quad({-w, 0, -w}, {-w, h, -w}, {-w, h, w}, {-w, 0, w});
    s.quad({w, 0, -w}, {w, 0, w}, {w, h, w}, {w, h, -w});
    // The ceiling around the skylight's opening.
    s.quad({-w, h, -w}, {-w, h, w}, {-hole, h, w}, {-hole, h, -w});
    s.quad({hole, h, -w}, {hole, h, w}, {w, h, w}, {w, h, -w});
    s.quad({-hole, h, -w}, {-hole, h, -hole}, {hole, h, -hole}, {hole, h, -w});
    s.quad({-hole, h, hole}, {-hole, h, w}, {hole, h, w}, {hole, h, hole});
    const size_t firstPane = s.scene.geometry.triangles.size();
    for (float y : {h, h + 0.05f})
        s.quad({-hole, y, -hole}, {-hole, y, hole}, {hole, y, hole}, {hole, y, -hole});
    s.finish();
    for (size_t i = firstPane; i < s.scene.geometry.surfaces.size(); ++i) {
        RtSurface& glass = s.scene.geometry.surfaces[i];
        glass.hasMirrorPass = 1;
        glass.optics.reflectance = 0.04f;
        glass.optics.isThin = true;
        glass.optics.transmissionColor = {0.9f, 0.9f, 0.85f};
    }

    const SkyEnvironment sunAlone = skyWithSun({0.0f, 0.0f, 0.0f}, 1.1f, {3.0f, 3.0f, 3.0f});
    const SkyEnvironment skyAlone = uniformSky({1.0f, 1.0f, 1.0f});
    const Camera camera = cameraAt({0.0f, 1.5f, 1.5f}, {0.0f, 1.5f, 2.0f}, 1.0f);
    RayWorkerPool pool(2);
    auto trace = [&](const SkyEnvironment& sky, bool portals, uint64_t seed) {
        ReferenceScene scene;
        scene.tree = &s.tree;
        scene.sky = &sky;
        scene.maxBounces = 2;
        scene.seed = seed;
        scene.portals = portals;
        ReferenceImage image;
        image.reset(16, 16);
        traceReferenceSamples(scene, camera, image, 32, &pool);
        return image;
    };
    // Mean and standard error of the picture's mean luminance over independent traces, and the
    // pixels' noise (the halves' difference).
    struct Estimate {
        double mean = 0, error = 0, pixelNoise = 0;
    };
    auto estimate = [&](const SkyEnvironment& sky, bool portals) {
        std::vector<double> means;
        Estimate e;
        for (uint64_t seed = 0; seed < 16; ++seed) {
            const ReferenceImage image = trace(sky, portals, seed * 2 + (portals ? 1 : 0));
            means.push_back(meanLuminanceOf(image));
            const std::vector<float> a = image.halfMean(0), b = image.halfMean(1);
            for (size_t i = 0; i < a.size(); ++i)
                e.pixelNoise += (double(a[i]) - b[i]) * (double(a[i]) - b[i]) / double(a.size() * 16);
        }
        for (double m : means)
            e.mean += m / double(means.size());
        for (double m : means)
            e.error += (m - e.mean) * (m - e.mean) / double(means.size() * (means.size() - 1));
        e.error = std::sqrt(e.error);
        return e;
    };
    for (const SkyEnvironment* sky : {&sunAlone, &skyAlone}) {
        const char* light = sky == &sunAlone ? "sun" : "sky";
        const Estimate bounces = estimate(*sky, false), panes = estimate(*sky, true);
        ASSERT_GT(bounces.mean, 0.0) << light;
        EXPECT_LT(std::fabs(panes.mean - bounces.mean), 4.0 * std::hypot(panes.error, bounces.error))
            << light << ": through the panes " << panes.mean << ", by the bounces " << bounces.mean;
        EXPECT_LT(panes.pixelNoise, 0.5 * bounces.pixelNoise) << light;
    }
}

// The demo's F2 view traces reference samples on the ray tracer's workers between frames whose
// reflections run on the same workers, entered and left at random as keys arrive. The thread
// sanitizer watches the batches here; the picture must be the one a single thread traces, and no
// worker may outlive the tracer.
TEST(ReferenceTracerThreads, F2SamplesAndReflectionFramesTakeTurnsOnTheSameWorkers)
{
    const auto threadCount = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}); };
    // The thread sanitizer starts a helper thread of its own with the process's second thread; start
    // and join one first so that the count below holds the program's threads only.
    std::thread([] {}).join();
    const auto threadsBefore = threadCount();
    LambertScene s(0.6f);
    groundPlane(s);
    s.quad({-1, 0, 3}, {1, 0, 3}, {1, 2, 3}, {-1, 2, 3});
    s.finish();
    const SkyEnvironment sky = uniformSky({1.0f, 0.9f, 0.8f});
    {
        RayTracer tracer;
        tracer.geometry = s.scene.geometry;
        tracer.kdTree.geometry = &tracer.geometry;
        tracer.kdTree.buildKdTree();
        tracer.create(40, 24, 4);
        const KdTree twoSided = twoSidedCopy(tracer.kdTree);
        ReferenceScene scene;
        scene.tree = &twoSided;
        scene.sky = &sky;
        scene.maxBounces = 2;
        std::mt19937 random(21);
        bool viewing = false;
        ReferenceImage pooled, alone;
        int samples = 0, frames = 0;
        for (int step = 0; step < 400; ++step) {
            if (random() % 8 == 0) {  // F2
                viewing = !viewing;
                const uint32_t w = 4 + random() % 12, h = 4 + random() % 8;
                pooled.reset(w, h);
                alone.reset(w, h);
            }
            if (viewing) {
                const Camera camera = cameraAt({0.0f, 1.5f, -2.0f}, {0.2f, 0.8f, 3.0f},
                                               float(pooled.width) / pooled.height);
                traceReferenceSamples(scene, camera, pooled, 1, tracer.workerPool());
                traceReferenceSamples(scene, camera, alone, 1, nullptr);
                ASSERT_EQ(pooled.sum, alone.sum) << "step " << step;
                ++samples;
                continue;
            }
            // A real-time frame: reflection rays from the floor towards the wall over a random region.
            tracer.setRegion(0.1f * float(random() % 5), 0.1f * float(random() % 5), 1.0f, 1.0f);
            const PixelRect region = tracer.region();
            const size_t n = size_t(region.width) * region.height;
            std::vector<uint16_t> origins(n * 4), directions(n * 4), normals(n * 4), positions(n * 4);
            std::vector<uint8_t> colors(n * 4);
            for (size_t i = 0; i < n; ++i) {
                const float o[4] = {float(i % 7) * 0.1f - 0.3f, 0.01f, float(i % 5) * 0.1f, 1.0f};
                const float d[4] = {0.0f, 0.3f, 1.0f, 1.0f};
                for (int c = 0; c < 4; ++c) {
                    origins[i * 4 + c] = narrowToHalf(o[c]);
                    directions[i * 4 + c] = narrowToHalf(d[c]);
                }
            }
            const TraceRegion arrays{region.width,  region.height,  origins.data(),  directions.data(),
                                     colors.data(), normals.data(), positions.data()};
            ASSERT_EQ(tracer.traceRegion(arrays), n) << "step " << step;
            ++frames;
        }
        EXPECT_GT(samples, 50);
        EXPECT_GT(frames, 50);
    }
    // A joined thread can stay listed in /proc for a moment after join returns (the kernel wakes the
    // joiner before it reaps the task), so give the listing time to catch up; a worker that was
    // never joined stays listed for good.
    for (int wait = 0; wait < 200 && threadCount() != threadsBefore; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(threadCount(), threadsBefore) << "a worker outlived the ray tracer";
}
