// kd-tree build, memory and closest-hit throughput on one or more scenes, against the literal
// split search (kept with the tests) and, when installed, Embree 3 on the same triangles and rays.
// Prints one table per scene and, for several scenes, a summary: per scene the best of our walks
// against Embree for each ray set, and the geometric mean of those ratios over the scenes.
//
//   bench_kdtree [--scene PATH | --generated TRIANGLES[:SIDE]]... [--literal none|part|full]
//                [--rule engine|literal] [--threads N] [--repeat N]
//
// Without a scene it measures the demo scene. --generated traces a dense generated mesh: rolling
// ground around the start view, its triangles all of one size and evenly spread (the demo's are of
// every size, clustered), 128 units across or SIDE. The demo scene's tree is built by the literal
// rule and compared with the literal reference build; every other scene's by the surface-area rule,
// as the engine builds it (kdBuildRuleForScene). --rule literal builds every scene by the literal
// rule, as the engine did before it had the surface-area rule. ./scripts/benchmark-scenes imports a set of models of
// other kinds and runs this on all of them. Times are the best of --repeat runs (default 5); ours and Embree's runs are
// interleaved.
//
// The coherent rays are reflections of the start view's camera rays; a scene the start view does
// not see (an imported model) is seen from a camera that frames its box, as orvanta-trace
// --frame-scene does.
//
// The literal build runs on a part of each scene (the demo's triangles inside x, z in [-24, 24];
// of another scene a centred box small enough for seconds of literal work) and on the whole scene
// (about 11 s for the demo on a 2-core machine; a scene whose literal build would take minutes is
// left out with a note); --literal part skips the whole scenes, --literal none both. The run
// fails (exit 1) when a literal tree differs from the fast one, or when the single, packet or stream
// walk finds another hit than the literal walk for any ray.
#include "KdTestScenes.h"
#include "support/DemoScene.h"

#include "content/KdSahSplit.h"
#include "content/KdTreeBuild.h"
#include "content/RayTracingScene.h"
#include "raytracing/KdTraversal.h"
#include "raytracing/RayWorkerPool.h"
#include "raytracing/ReferenceTracer.h"
#include "renderer/StartCamera.h"
#include "scene/Camera.h"
#include "scene/CameraFraming.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef ORVANTA_BENCH_EMBREE
#include <embree3/rtcore.h>
#endif

using namespace Orvanta;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

struct RaySet {
    std::vector<Float3> origins;
    std::vector<Float3> directions;
    size_t size() const { return origins.size(); }
};

// The nearest hit of one ray: triangle index (or -1) and distance.
struct HitRecord {
    int64_t triangle = -1;
    float t = kRayNoHit;
};

HitRecord recordOf(const KdTree& tree, const Ray& ray)
{
    HitRecord hit;
    if (ray.hitTriangle) {
        hit.triangle = ray.hitTriangle - tree.geometry->triangles.data();
        hit.t = ray.tHit;
    }
    return hit;
}

// Runs trace(i) for every i below count on the ray tracer's worker pool with `threads` workers,
// which take `block` of them at a time; returns calls per second. Starting the workers is not timed.
// With one thread the rays are traced here and timed by this thread's CPU time: on a machine
// shared with other busy programs the wall time of one thread mostly measures their load.
template <typename Trace>
double runThreads(size_t count, int threads, Trace trace, size_t block = 1024)
{
    if (threads == 1) {
        timespec t0{}, t1{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0);
        for (size_t i = 0; i < count; ++i)
            trace(i);
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
        return double(count) / (double(t1.tv_sec - t0.tv_sec) + 1e-9 * double(t1.tv_nsec - t0.tv_nsec));
    }
    RayWorkerPool pool{static_cast<unsigned>(threads)};
    const auto start = Clock::now();
    pool.run(uint32_t((count + block - 1) / block), [&](uint32_t b) {
        const size_t to = std::min(count, (size_t(b) + 1) * block);
        for (size_t i = size_t(b) * block; i < to; ++i)
            trace(i);
    });
    return double(count) / seconds(start);
}

Float3 sub(Float3 a, Float3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// The camera the coherent rays start from: the start view, or, where that sees none of the
// scene's triangles, one that frames the scene's box from the side a light at (0.4, 0.8, 0.3)
// would light (as orvanta-trace --frame-scene). Empty for a scene with nothing to frame.
std::optional<Camera> viewCamera(const KdTree& tree, float aspectRatio, bool& framed)
{
    Camera camera;
    placeAtStartView(camera, aspectRatio);
    framed = false;
    const int samples = 64;
    for (int y = 0; y < samples; ++y)
        for (int x = 0; x < samples; ++x) {
            const Float3 d = frustumRay(camera.frustum, (float(x) + 0.5f) / samples, (float(y) + 0.5f) / samples);
            const float origin[3] = {camera.position.x, camera.position.y, camera.position.z},
                        direction[3] = {d.x, d.y, d.z};
            Ray ray = makeRay(origin, direction);
            traverse(tree, ray);
            if (ray.hitAccel)
                return camera;
        }
    if (tree.nodes.empty() ||
        !frameBox(camera, tree.rootBox.boxMin, tree.rootBox.boxMax, -normalize(Float3{0.4f, 0.8f, 0.3f})))
        return std::nullopt;
    framed = true;
    return camera;
}

// Camera rays at half of 1280 x 720 (the ray-input resolution), reflected off their first hit
// about the geometric normal; pixels that see the sky give no ray. The rays are stored 2 x 2 pixel
// block after block along each pair of rows, the order the engine's tracer gathers its packets in
// (sixteen rays: four blocks side by side).
RaySet reflectionRays(const KdTree& tree, const Camera& camera, int width, int height)
{
    const OrvantaBench::ViewRays view{camera.position, camera.frustum};
    RaySet rays;
    for (int blockY = 0; blockY < height; blockY += 2)
        for (int blockX = 0; blockX < width; blockX += 2)
            for (int corner = 0; corner < 4; ++corner) {
                const int x = blockX + (corner & 1), y = blockY + (corner >> 1);
                if (x >= width || y >= height)
                    continue;
                const Float3 d = view.through(x, y, width, height);
                const float origin[3] = {view.eye.x, view.eye.y, view.eye.z}, direction[3] = {d.x, d.y, d.z};
                Ray ray = makeRay(origin, direction);
                traverse(tree, ray);
                if (!ray.hitAccel || ray.tHit >= 9000.0f)
                    continue;
                Float3 n = faceNormal(ray);
                if (dot(n, d) > 0.0f)
                    n = -n;  // the far side of a double-sided surface
                const Float3 r = d - n * (2.0f * dot(d, n));
                // Start a little off the surface so the ray does not find its own triangle at t = 0.
                rays.origins.push_back(view.eye + d * ray.tHit + n * 1e-3f);
                rays.directions.push_back(normalize(r));
            }
    return rays;
}

// The rays the reference path tracer traces for the start view (camera, bounce, sun and sky
// shadow rays, in the order it traces them) under a uniform sky and a sun 50 degrees up, 4 bounces.
RaySet referencePathRays(const KdTree& twoSided, const Camera& camera, int width, int height, uint32_t samples)
{
    SkyEnvironment sky = uniformSky({0.5f, 0.6f, 0.8f});
    sky.towardSun = normalize(Float3{0.3f, 1.2f, 0.6f});
    sky.sunIrradiance = {6.0f, 6.0f, 5.5f};
    sky.sunCosRadius = std::cos(kSunAngularRadius);
    std::vector<Ray> recorded;
    ReferenceScene scene;
    scene.tree = &twoSided;
    scene.sky = &sky;
    scene.recordedRays = &recorded;
    ReferenceImage image;
    image.reset(uint32_t(width), uint32_t(height));
    traceReferenceSamples(scene, camera, image, samples, nullptr);
    RaySet rays;
    for (const Ray& r : recorded) {
        rays.origins.push_back({r.origin[0], r.origin[1], r.origin[2]});
        rays.directions.push_back({r.direction[0], r.direction[1], r.direction[2]});
    }
    return rays;
}

RaySet randomRays(const KdTree& tree, size_t count)
{
    const KdNodeBox& box = tree.rootBox;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), sym(-1.0f, 1.0f);
    RaySet rays;
    while (rays.size() < count) {
        const Float3 d{sym(rng), sym(rng), sym(rng)};
        const float len = length(d);
        if (len > 1.0f || len < 1e-3f)
            continue;
        rays.origins.push_back({box.boxMin.x + unit(rng) * (box.boxMax.x - box.boxMin.x),
                                box.boxMin.y + unit(rng) * (box.boxMax.y - box.boxMin.y),
                                box.boxMin.z + unit(rng) * (box.boxMax.z - box.boxMin.z)});
        rays.directions.push_back(d / len);
    }
    return rays;
}

size_t treeBytes(const KdTree& tree)
{
    return tree.nodes.size() * sizeof(KdTraceNode) + sizeof(KdNodeBox) + tree.leafTriangles.size() * sizeof(uint32_t) +
           tree.triangleAccels.size() * sizeof(CompactTriAccel);
}

size_t references(const KdTree& tree)
{
    return tree.leafTriangles.size();
}

struct Table;
void treeShape(Table& table, const KdTree& tree);

struct Table {
    void row(const std::string& measure, const std::string& value)
    {
        std::printf("| %s | %s |\n", measure.c_str(), value.c_str());
    }
    template <typename... Args>
    void rowf(const std::string& measure, const char* format, Args... args)
    {
        char text[256];
        std::snprintf(text, sizeof text, format, args...);
        row(measure, text);
    }
};

// How the build rule shaped the tree: depth, leaf sizes, how many children are empty leaves (the
// walks cut the ray's segment at those), and how much of the triangle references the largest
// leaves and the depth limit hold.
void treeShape(Table& table, const KdTree& tree)
{
    uint32_t maxDepth = 0;
    size_t filled = 0, empty = 0, refs = 0, refsInBig = 0, refsAtLimit = 0, withEmptyChild = 0, interior = 0;
    uint32_t largest = 0;
    double depthSum = 0.0;
    const uint32_t depthLimit = tree.rule == KdBuildRule::Literal ? kKdMaxDepth
                                                                  : kdSahMaxDepth(tree.geometry->triangles.size());
    const std::vector<KdNodeBox> boxes = tree.nodeBoxes();
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
        const KdTraceNode& n = tree.nodes[i];
        if (!n.isLeaf()) {
            ++interior;
            withEmptyChild += n.emptyChildren() != 0;
            continue;
        }
        const uint32_t count = n.count(), depth = boxes[i].depth;
        maxDepth = std::max(maxDepth, depth);
        if (count == 0) {
            ++empty;
            continue;
        }
        ++filled;
        refs += count;
        depthSum += double(depth) * count;
        largest = std::max(largest, count);
        refsInBig += count > 16 ? count : 0;
        refsAtLimit += depth >= depthLimit ? count : 0;
    }
    const double perRef = refs ? 100.0 / double(refs) : 0.0;
    table.rowf("tree depth: deepest leaf / mean over triangle references", "%u / %.1f", maxDepth,
               refs ? depthSum / double(refs) : 0.0);
    table.rowf("leaves with triangles / empty leaves", "%zu / %zu", filled, empty);
    table.rowf("triangles per leaf with triangles: mean / largest", "%.1f / %u",
               filled ? double(refs) / double(filled) : 0.0, largest);
    table.rowf("triangle references in leaves of more than 16 / at the depth limit", "%.1f %% / %.1f %%",
               double(refsInBig) * perRef, double(refsAtLimit) * perRef);
    table.rowf("references per triangle", "%.2f",
               tree.geometry->triangles.empty() ? 0.0 : double(refs) / double(tree.geometry->triangles.size()));
    table.rowf("interior nodes with an empty child (the walks cut the segment there)", "%.1f %%",
               interior ? 100.0 * double(withEmptyChild) / double(interior) : 0.0);
}

#ifdef ORVANTA_BENCH_EMBREE
// Embree keeps its own triangle test; this filter applies ours on top of it: single-sided
// triangles are hit from the front only (the side their winding's normal points to).
struct CullData {
    std::vector<Float3> normals;
    std::vector<uint8_t> doubleSided;
};

void cullBackFaces(const RTCFilterFunctionNArguments* args)
{
    const CullData& data = *static_cast<const CullData*>(args->geometryUserPtr);
    for (unsigned i = 0; i < args->N; ++i) {
        if (args->valid[i] != -1)
            continue;
        const unsigned prim = RTCHitN_primID(args->hit, args->N, i);
        if (data.doubleSided[prim])
            continue;
        const Float3 d{RTCRayN_dir_x(args->ray, args->N, i), RTCRayN_dir_y(args->ray, args->N, i),
                       RTCRayN_dir_z(args->ray, args->N, i)};
        if (dot(d, data.normals[prim]) >= 0.0f)
            args->valid[i] = 0;
    }
}

std::atomic<int64_t> embreeBytes{0};
bool countBytes(void*, ssize_t bytes, bool)
{
    embreeBytes += bytes;
    return true;
}

struct EmbreeScene {
    RTCDevice device = nullptr;
    RTCScene culled = nullptr;
    RTCScene plain = nullptr;
    double buildSeconds = 0.0;
    int64_t bytes = 0;
    CullData cull;

    RTCScene make(const RayTracingGeometry& g, bool withCulling, double* build)
    {
        RTCScene scene = rtcNewScene(device);
        rtcSetSceneBuildQuality(scene, RTC_BUILD_QUALITY_HIGH);
        RTCGeometry geom = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        rtcSetGeometryBuildQuality(geom, RTC_BUILD_QUALITY_HIGH);
        auto* v = static_cast<float*>(rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                              3 * sizeof(float), g.vertices.size()));
        for (size_t i = 0; i < g.vertices.size(); ++i) {
            v[3 * i] = g.vertices[i].position.x;
            v[3 * i + 1] = g.vertices[i].position.y;
            v[3 * i + 2] = g.vertices[i].position.z;
        }
        auto* idx = static_cast<unsigned*>(rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                   3 * sizeof(unsigned), g.triangles.size()));
        for (size_t i = 0; i < g.triangles.size(); ++i) {
            idx[3 * i] = g.triangles[i].index0;
            idx[3 * i + 1] = g.triangles[i].index1;
            idx[3 * i + 2] = g.triangles[i].index2;
        }
        if (withCulling) {
            rtcSetGeometryUserData(geom, &cull);
            rtcSetGeometryIntersectFilterFunction(geom, cullBackFaces);
        }
        rtcCommitGeometry(geom);
        rtcAttachGeometry(scene, geom);
        rtcReleaseGeometry(geom);
        const int64_t before = embreeBytes;
        const auto start = Clock::now();
        rtcCommitScene(scene);
        if (build) {
            *build = seconds(start);
            bytes = embreeBytes - before;
        }
        return scene;
    }

    // Culls as the tree's records do (so a two-sided copy of the tree gets a scene that culls nothing).
    explicit EmbreeScene(const KdTree& tree)
    {
        const RayTracingGeometry& g = *tree.geometry;
        for (size_t i = 0; i < g.triangles.size(); ++i) {
            const RtTriangle& t = g.triangles[i];
            const Float3 a = g.vertices[t.index0].position, b = g.vertices[t.index1].position,
                         c = g.vertices[t.index2].position;
            cull.normals.push_back(cross(sub(b, a), sub(c, a)));
            cull.doubleSided.push_back(i < tree.triangleAccels.size() ? tree.triangleAccels[i].doubleSided : 0);
        }
        device = rtcNewDevice(nullptr);
        rtcSetDeviceMemoryMonitorFunction(device, countBytes, nullptr);
        // The first commit warms Embree's thread pool; the timed one is the second.
        rtcReleaseScene(make(g, false, nullptr));
        plain = make(g, false, &buildSeconds);
        culled = make(g, true, nullptr);
    }
    ~EmbreeScene()
    {
        rtcReleaseScene(plain);
        rtcReleaseScene(culled);
        rtcReleaseDevice(device);
    }

    static HitRecord trace(RTCScene scene, const Float3& o, const Float3& d)
    {
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRayHit rh{};
        rh.ray.org_x = o.x;
        rh.ray.org_y = o.y;
        rh.ray.org_z = o.z;
        rh.ray.dir_x = d.x;
        rh.ray.dir_y = d.y;
        rh.ray.dir_z = d.z;
        rh.ray.tnear = 0.0f;
        rh.ray.tfar = kRayNoHit;
        rh.ray.mask = 0xFFFFFFFFu;
        rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(scene, &context, &rh);
        HitRecord hit;
        if (rh.hit.geomID != RTC_INVALID_GEOMETRY_ID) {
            hit.triangle = rh.hit.primID;
            hit.t = rh.ray.tfar;
        }
        return hit;
    }
};
#endif

bool agree(const HitRecord& a, const HitRecord& b)
{
    if (a.triangle == b.triangle)
        return true;
    if (a.triangle < 0 || b.triangle < 0)
        return false;
    return std::fabs(a.t - b.t) <= 1e-4f * std::max(a.t, b.t);
}

// Prints the rows of one ray set; false when a walk disagreed with the literal walk.
// A rolling height field of about `triangles` triangles over [-64, 64] on x and z, under and
// around the start view, with one surface; heights from a few sines so the triangles tilt
// every way. Scaled about the origin to `side` units across (128: as it is).
void generateDenseMesh(size_t triangles, float side, RayTracingGeometry& g)
{
    const float scale = side / 128.0f;
    const uint32_t n = std::max<uint32_t>(2, uint32_t(std::sqrt(double(triangles) / 2.0)));
    g.surfaces.push_back(RtSurface{});
    const RtSurface* surface = &g.surfaces.back();
    const float size = 128.0f / float(n);
    for (uint32_t z = 0; z <= n; ++z)
        for (uint32_t x = 0; x <= n; ++x) {
            RtVertex v{};
            const float px = -64.0f + float(x) * size, pz = -64.0f + float(z) * size;
            const float py = 1.5f * std::sin(px * 0.7f) * std::cos(pz * 0.45f) + 0.4f * std::sin(px * 3.1f + pz * 2.3f);
            v.position = {px * scale, py * scale, pz * scale};
            g.vertices.push_back(v);
        }
    auto add = [&](uint32_t a, uint32_t b, uint32_t c) {
        RtTriangle t;
        t.index0 = a;
        t.index1 = b;
        t.index2 = c;
        t.surface = surface;
        const Float3 &p = g.vertices[a].position, &q = g.vertices[b].position, &r = g.vertices[c].position;
        t.boxMin = {std::min({p.x, q.x, r.x}), std::min({p.y, q.y, r.y}), std::min({p.z, q.z, r.z})};
        t.boxMax = {std::max({p.x, q.x, r.x}), std::max({p.y, q.y, r.y}), std::max({p.z, q.z, r.z})};
        g.triangles.push_back(t);
    };
    for (uint32_t z = 0; z < n; ++z)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t i = z * (n + 1) + x;
            add(i, i + n + 1, i + 1);  // facing up
            add(i + 1, i + n + 1, i + n + 2);
        }
}

// Ray i of the set at its start values.
Ray rayAt(const RaySet& rays, size_t i)
{
    const Float3 o = rays.origins[i], d = rays.directions[i];
    const float origin[3] = {o.x, o.y, o.z}, direction[3] = {d.x, d.y, d.z};
    return makeRay(origin, direction);
}

// Group `group` of kGroup consecutive rays (fewer at the end) through walk(rays, count), the hits
// written to `out`.
template <size_t kGroup, typename Walk>
void traceGroup(const KdTree& tree, const RaySet& rays, size_t group, std::vector<HitRecord>& out, Walk walk)
{
    Ray lanes[kGroup];
    const size_t first = group * kGroup, count = std::min(kGroup, rays.size() - first);
    for (size_t r = 0; r < count; ++r)
        lanes[r] = rayAt(rays, first + r);
    walk(lanes, count);
    for (size_t r = 0; r < count; ++r)
        out[first + r] = recordOf(tree, lanes[r]);
}

// What one ray set gave: whether every walk agreed with the literal walk, and the best of our
// walks (single, packets, stream) against Embree with our culling, on one and on several threads.
struct RaySetResult {
    bool same = true;
    bool measured = false;  // false without rays or without Embree: no ratio
    double bestOne = 0.0, bestMany = 0.0;
    std::string bestOneWalk, bestManyWalk;
    double testsPerRay = 0.0;  // triangle tests per ray of the walk that enters every leaf
    double agreement = 100.0;  // per cent of the rays whose hit Embree agrees with
};

RaySetResult throughput(Table& table, const std::string& name, const KdTree& tree, const RaySet& rays, int threads,
                        int repeats, void* embree)
{
    RaySetResult result;
    // A scene without triangles in view has no reflection rays: nothing to time, and no rate or
    // ratio to print (they would be 0 / 0).
    if (rays.size() == 0) {
        table.row(name, "n/a (no rays)");
        return result;
    }
    // Each measure is the best of `repeats` runs, the runs of all measures interleaved, so that a
    // burst of load from other programs on the machine falls on ours and Embree's alike.
    std::vector<HitRecord> ours(rays.size());
    auto traceSingle = [&](size_t i) {
        Ray ray = rayAt(rays, i);
        traverse(tree, ray);
        ours[i] = recordOf(tree, ray);
    };
    // Neighbouring rays (rays are stored in pixel order) through the packet walk, as many at a time
    // as the engine's tracer gives it, at every lane width the CPU has (the widest is what the
    // engine uses; narrower ones walk the same groups in halves or quarters).
    constexpr size_t kPacket = kMaxPacketRays;
    struct PacketRun {
        unsigned width;
        std::vector<HitRecord> hits;
        double one = 0, many = 0;
    };
    std::vector<PacketRun> packetRuns;
    for (unsigned width = packetWidth(); width >= 4; width /= 2)
        packetRuns.push_back({width, std::vector<HitRecord>(rays.size())});
    auto tracePacket = [&](PacketRun& run) {
        return [&](size_t group) {
            traceGroup<kPacket>(tree, rays, group, run.hits, [&](Ray* lanes, size_t count) {
                traversePacket(tree, lanes, unsigned(count), run.width);
            });
        };
    };
    const size_t groups = (rays.size() + kPacket - 1) / kPacket;
    // Blocks of rays through the interleaved stream walk, in the order they are stored.
    constexpr size_t kStreamBlock = 256;
    std::vector<HitRecord> streamed(rays.size());
    auto traceStream = [&](size_t block) {
        traceGroup<kStreamBlock>(tree, rays, block, streamed,
                                 [&](Ray* lanes, size_t count) { traverseStream(tree, lanes, count); });
    };
    const size_t blocks = (rays.size() + kStreamBlock - 1) / kStreamBlock;
#ifdef ORVANTA_BENCH_EMBREE
    const EmbreeScene& e = *static_cast<const EmbreeScene*>(embree);
    std::vector<HitRecord> theirs(rays.size());
    auto traceCulled = [&](size_t i) { theirs[i] = EmbreeScene::trace(e.culled, rays.origins[i], rays.directions[i]); };
    auto tracePlain = [&](size_t i) { EmbreeScene::trace(e.plain, rays.origins[i], rays.directions[i]); };
    double eOne = 0, eMany = 0, pOne = 0, pMany = 0;
#endif
    double one = 0, many = 0, streamOne = 0, streamMany = 0;
    for (int run = 0; run < repeats; ++run) {
        one = std::max(one, runThreads(rays.size(), 1, traceSingle));
        many = std::max(many, runThreads(rays.size(), threads, traceSingle));
        for (PacketRun& p : packetRuns) {
            p.one = std::max(p.one, double(kPacket) * runThreads(groups, 1, tracePacket(p)));
            p.many = std::max(p.many, double(kPacket) * runThreads(groups, threads, tracePacket(p)));
        }
        streamOne = std::max(streamOne, double(kStreamBlock) * runThreads(blocks, 1, traceStream));
        streamMany = std::max(streamMany,
                              double(kStreamBlock) * runThreads(blocks, threads, traceStream, 1024 / kStreamBlock));
#ifdef ORVANTA_BENCH_EMBREE
        eOne = std::max(eOne, runThreads(rays.size(), 1, traceCulled));
        eMany = std::max(eMany, runThreads(rays.size(), threads, traceCulled));
        pOne = std::max(pOne, runThreads(rays.size(), 1, tracePlain));
        pMany = std::max(pMany, runThreads(rays.size(), threads, tracePlain));
#endif
    }
    // Both walks against the literal one (no segment clipping, one ray at a time).
    size_t packetSame = 0;
    OrvantaTest::LiteralWalkCounts counts;
    for (size_t i = 0; i < rays.size(); ++i) {
        Ray literal = rayAt(rays, i);
        OrvantaTest::literalTraverse(tree, literal, &counts);
        const HitRecord expected = recordOf(tree, literal);
        auto same = [&](const HitRecord& h) { return h.triangle == expected.triangle && h.t == expected.t; };
        bool all = same(ours[i]) && same(streamed[i]);
        for (const PacketRun& p : packetRuns)
            all = all && same(p.hits[i]);
        packetSame += all;
    }
    size_t hits = 0;
    for (const HitRecord& h : ours)
        hits += h.triangle >= 0;
    table.rowf(std::string(name) + ": rays / hits", "%zu / %zu", rays.size(), hits);
    const double n = double(rays.size());
    result.testsPerRay = double(counts.triangleTests) / n;
    table.rowf(std::string(name) + ": per ray, interior nodes / empty leaves / leaves with triangles / triangle tests",
               "%.1f / %.1f / %.1f / %.1f (the walk that enters every leaf)", double(counts.interiorSteps) / n,
               double(counts.emptyLeaves) / n, double(counts.leaves) / n, double(counts.triangleTests) / n);
    table.rowf(std::string(name) + ": time per ray, single walk, one thread", "%.0f ns", 1e9 / one);
    table.rowf(std::string(name) + ": traverse, 1 / " + std::to_string(threads) + " threads", "%.2f / %.2f Mrays/s",
               one / 1e6, many / 1e6);
    for (const PacketRun& p : packetRuns)
        table.rowf(std::string(name) + ": traversePacket (" + std::to_string(p.width) + " lanes), 1 / " +
                       std::to_string(threads) + " threads",
                   "%.2f / %.2f Mrays/s", p.one / 1e6, p.many / 1e6);
    table.rowf(std::string(name) + ": traverseStream, 1 / " + std::to_string(threads) + " threads",
               "%.2f / %.2f Mrays/s", streamOne / 1e6, streamMany / 1e6);
    table.row(std::string(name) + ": single, packet (every width) and stream hits against the literal walk",
              packetSame == rays.size() ? "identical for every ray" : "DIFFERENT");
#ifdef ORVANTA_BENCH_EMBREE
    size_t same = 0;
    for (size_t i = 0; i < rays.size(); ++i)
        same += agree(ours[i], theirs[i]);
    table.rowf(std::string(name) + ": Embree rtcIntersect1 with our culling, 1 / " + std::to_string(threads) +
                   " threads",
               "%.2f / %.2f Mrays/s", eOne / 1e6, eMany / 1e6);
    table.rowf(std::string(name) + ": time per ray, Embree with our culling, one thread", "%.0f ns", 1e9 / eOne);
    table.rowf(std::string(name) + ": Embree rtcIntersect1 without culling, 1 / " + std::to_string(threads) +
                   " threads",
               "%.2f / %.2f Mrays/s", pOne / 1e6, pMany / 1e6);
    std::string packets;
    for (const PacketRun& p : packetRuns) {
        char text[96];
        std::snprintf(text, sizeof text, ", packets of %u lanes %.2fx / %.2fx", p.width, p.one / eOne, p.many / eMany);
        packets += text;
    }
    table.rowf(std::string(name) + ": ours / Embree (culling), 1 / " + std::to_string(threads) + " threads",
               "single %.2fx / %.2fx%s, stream %.2fx / %.2fx", one / eOne, many / eMany, packets.c_str(),
               streamOne / eOne, streamMany / eMany);
    result.agreement = 100.0 * double(same) / double(rays.size());
    table.rowf(std::string(name) + ": agreement with Embree (same triangle or t within 1e-4)", "%.3f %%",
               result.agreement);
    auto best = [&](double rate, const std::string& walk, double embreeRate, double& ratio, std::string& label) {
        if (rate / embreeRate > ratio) {
            ratio = rate / embreeRate;
            label = walk;
        }
    };
    best(one, "single", eOne, result.bestOne, result.bestOneWalk);
    best(many, "single", eMany, result.bestMany, result.bestManyWalk);
    for (const PacketRun& p : packetRuns) {
        best(p.one, "packet " + std::to_string(p.width), eOne, result.bestOne, result.bestOneWalk);
        best(p.many, "packet " + std::to_string(p.width), eMany, result.bestMany, result.bestManyWalk);
    }
    best(streamOne, "stream", eOne, result.bestOne, result.bestOneWalk);
    best(streamMany, "stream", eMany, result.bestMany, result.bestManyWalk);
    result.measured = true;
#else
    (void)embree;
#endif
    result.same = packetSame == rays.size();
    return result;
}

// Literal split work of a scene: candidate positions on the three axes of its box times its
// triangles, the work of the root node alone (the levels below add a few times as much).
double literalWork(const RayTracingGeometry& g)
{
    Float3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (const RtTriangle& t : g.triangles) {
        lo = minComponents(lo, t.boxMin);
        hi = maxComponents(hi, t.boxMax);
    }
    if (g.triangles.empty())
        return 0.0;
    return double((hi.x - lo.x) + (hi.y - lo.y) + (hi.z - lo.z)) / 0.1 * double(g.triangles.size());
}

// The demo scene's whole literal build does 2.7e8 of that work (10 s on the 2-core machine); the
// generated mesh's 5.2e8 (71 s) and the imported CAD engine's 1.6e9 (232 s), the deeper levels
// costing more there. A whole scene is built literally up to a little above the demo's work, a
// part up to a fifth of it.
constexpr double kWholeLiteralWork = 3e8;
constexpr double kPartLiteralWork = 5e7;

struct SceneSource {
    std::string path;      // a scene file, or empty for the generated mesh
    size_t generated = 0;  // triangles of the generated mesh
    float side = 128.0f;   // its size across, in world units
};

struct SceneResult {
    std::string name;
    size_t triangles = 0;
    double bytesPerTriangle = 0.0;
    double buildRatio = 0.0;  // our build time / Embree's; 0 without Embree
    RaySetResult coherent, random, paths;
    bool ok = true;
};

// The table of one scene; ok is false when a literal tree or walk disagreed.
SceneResult benchScene(const SceneSource& source, const std::string& literal, bool literalRule, int threads,
                       int repeats)
{
    const bool isDemo = source.path == "resources/objects/scene/kindergarten.scene";
    RayTracingGeometry geometry;
    std::string tag, error;
    SceneResult result;
    result.name = source.path;
    if (source.generated) {
        generateDenseMesh(source.generated, source.side, geometry);
        result.name = "generated mesh, " + std::to_string(source.generated / 1000) + "k triangles over " +
                      std::to_string(int(source.side)) + " units";
    } else if (!loadRayTracingScene(source.path, geometry, tag, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        result.ok = false;
        return result;
    }
    const size_t triangles = geometry.triangles.size();
    result.triangles = triangles;
    Table table;
    std::printf("\nkd-tree on %s: %zu triangles, %zu vertices; %u hardware threads\n\n",
                source.generated ? "a generated mesh" : source.path.c_str(), triangles, geometry.vertices.size(),
                std::thread::hardware_concurrency());
    std::printf("| measure | value |\n|---|---|\n");

    // The rule the engine builds the scene's tree by (the generated meshes are no demo scene), or
    // the literal rule on every scene with --rule literal.
    KdTree tree;
    tree.geometry = &geometry;
    tree.rule = literalRule || (!source.generated && kdBuildRuleForScene(tag) == KdBuildRule::Literal)
                    ? KdBuildRule::Literal
                    : KdBuildRule::SurfaceArea;
    double buildSeconds = 1e30;
    for (int run = 0; run < std::min(repeats, 3); ++run) {
        const auto start = Clock::now();
        tree.buildKdTree();
        buildSeconds = std::min(buildSeconds, seconds(start));
    }
    table.row("build rule", tree.rule == KdBuildRule::Literal ? "literal (the demo's)" : "surface area");
    table.rowf("build, whole scene (best of " + std::to_string(std::min(repeats, 3)) + ")", "%.3f s", buildSeconds);
    table.rowf("nodes / leaves / triangle references", "%zu / %zu / %zu", tree.nodes.size(),
               (tree.nodes.size() + 1) / 2, references(tree));
    treeShape(table, tree);
    const std::string path = (std::filesystem::temp_directory_path() / "bench_kdtree.kdTree").string();
    const std::vector<uint8_t> bytes = OrvantaTest::savedBytes(tree, path);
    result.bytesPerTriangle = double(treeBytes(tree)) / double(std::max<size_t>(1, triangles));
    table.rowf("tree in memory, bytes per triangle", "%.1f", result.bytesPerTriangle);
    table.rowf("tree file, bytes per triangle", "%.1f", double(bytes.size()) / double(std::max<size_t>(1, triangles)));
    {
        const auto saving = Clock::now();
        const bool saved = tree.saveKdTree(path, "test");
        table.rowf("writing the tree file", "%.3f s%s", seconds(saving), saved ? "" : " (FAILED)");
        KdTree loaded;
        loaded.geometry = &geometry;
        loaded.rule = tree.rule;  // a file is read only as a tree of the rule it was saved by
        const auto t0 = Clock::now();
        const bool read = loaded.loadKdTree(path, "test");
        table.rowf("reading the tree file back", "%.3f s%s", seconds(t0), read ? "" : " (FAILED)");
    }

    // The literal reference: the whole scene (compared with the tree above) and, always, a part.
    auto compareWithLiteral = [&](const RayTracingGeometry& subject, const std::string& label, const KdTree* fastTree,
                                  double fastSeconds) {
        KdTree fastPart, literalTree;
        if (!fastTree) {
            fastPart.geometry = &subject;
            const auto t0 = Clock::now();
            fastPart.buildKdTree();
            fastSeconds = seconds(t0);
            fastTree = &fastPart;
            table.rowf("build, " + label, "%.3f s", fastSeconds);
        }
        literalTree.geometry = &subject;
        const auto t0 = Clock::now();
        OrvantaTest::buildLiteralKdTree(literalTree);
        const double literalSeconds = seconds(t0);
        const bool identical = OrvantaTest::savedBytes(*fastTree, path + "1") ==
                               OrvantaTest::savedBytes(literalTree, path + "2");
        table.rowf("literal build (every candidate x every triangle), " + label, "%.3f s", literalSeconds);
        table.rowf("speed-up over the literal build, " + label, "%.0fx", literalSeconds / fastSeconds);
        table.row("literal and fast \".kdTree\" files byte-identical, " + label, identical ? "yes" : "NO");
        std::remove((path + "1").c_str());
        std::remove((path + "2").c_str());
        return identical;
    };
    bool identical = true;
    if (tree.rule != KdBuildRule::Literal)
        table.row("literal build", "not compared: the scene's tree is built by the surface-area rule");
    else if (literal != "none" && triangles > 0) {
        // The demo's part as it always was; the generated mesh is dense, so a smaller square keeps
        // its literal build to seconds; of any other scene a square about the centre of its box,
        // shrunk until the literal work is small.
        RayTracingGeometry part;
        float cx = 0.0f, cz = 0.0f, half = source.generated ? 6.0f : 24.0f;
        if (!isDemo && !source.generated) {
            const KdNodeBox& box = tree.rootBox;
            cx = 0.5f * (box.boxMin.x + box.boxMax.x);
            cz = 0.5f * (box.boxMin.z + box.boxMax.z);
            half = 0.5f * std::max(box.boxMax.x - box.boxMin.x, box.boxMax.z - box.boxMin.z);
            for (;;) {
                OrvantaBench::keepTrianglesInside(geometry, {cx - half, 0, cz - half}, {cx + half, 0, cz + half}, part);
                if (literalWork(part) <= kPartLiteralWork)
                    break;
                half *= 0.7f;
            }
        }
        OrvantaBench::keepTrianglesInside(geometry, {cx - half, 0, cz - half}, {cx + half, 0, cz + half}, part);
        char label[160];
        std::snprintf(label, sizeof label, "part (%zu triangles inside x [%g, %g], z [%g, %g])", part.triangles.size(),
                      double(cx - half), double(cx + half), double(cz - half), double(cz + half));
        identical = compareWithLiteral(part, label, nullptr, 0.0);
        if (literal == "full") {
            const double work = literalWork(geometry);
            if (work <= kWholeLiteralWork)
                identical = compareWithLiteral(geometry, "whole scene", &tree, buildSeconds) && identical;
            else
                table.rowf("literal build, whole scene", "left out: %.1e candidate x triangle tests at the root alone",
                           work);
        }
    }
    std::remove(path.c_str());
    if (!identical) {
        result.ok = false;
        return result;
    }

    void* embree = nullptr;
#ifdef ORVANTA_BENCH_EMBREE
    double embreeBuild = 1e30;
    for (int run = 1; run < std::min(repeats, 3); ++run)
        embreeBuild = std::min(embreeBuild, EmbreeScene(tree).buildSeconds);
    EmbreeScene embreeScene(tree);
    embreeBuild = std::min(embreeBuild, embreeScene.buildSeconds);
    embree = &embreeScene;
    table.rowf("Embree 3 rtcCommitScene, high quality, all threads (best of " + std::to_string(std::min(repeats, 3)) +
                   ")",
               "%.3f s", embreeBuild);
    result.buildRatio = buildSeconds / embreeBuild;
    table.rowf("build time / Embree's", "%.2fx", result.buildRatio);
    table.rowf("Embree BVH, bytes per triangle", "%.1f",
               double(embreeScene.bytes) / double(std::max<size_t>(1, triangles)));
#endif

    bool framed = false;
    const std::optional<Camera> camera = viewCamera(tree, 16.0f / 9.0f, framed);
    const std::string view = framed ? "framed-view" : "start-view";
    const RaySet reflected = camera ? reflectionRays(tree, *camera, 640, 360) : RaySet{};
    result.coherent = throughput(table, view + " reflection rays", tree, reflected, threads, repeats, embree);
    const RaySet random = randomRays(tree, 250000);
    result.random = throughput(table, "random rays in the scene box", tree, random, threads, repeats, embree);

    // The reference path tracer's rays walk a two-sided copy of the tree; Embree gets a scene that
    // culls nothing to match.
    KdTree twoSided = twoSidedCopy(tree);
    const RaySet paths = camera ? referencePathRays(twoSided, *camera, 160, 90, 4) : RaySet{};
    void* twoSidedEmbree = nullptr;
#ifdef ORVANTA_BENCH_EMBREE
    EmbreeScene twoSidedScene(twoSided);
    twoSidedEmbree = &twoSidedScene;
#endif
    result.paths = throughput(table, "reference path tracer rays (" + view + ", two-sided)", twoSided, paths, threads,
                              repeats, twoSidedEmbree);
    result.ok = result.coherent.same && result.random.same && result.paths.same;
    return result;
}

// The summary over several scenes: per scene and ray set the best walk against Embree, and the
// geometric mean of those ratios over the scenes that have the rays.
void printSummary(const std::vector<SceneResult>& scenes, int threads)
{
    std::printf("\nSummary: the best of our walks (single, packets, stream) / Embree rtcIntersect1 with our "
                "culling, 1 / %d threads\n\n",
                threads);
    std::printf("| scene | triangles | tree bytes / triangle | build / Embree's | coherent (reflection) rays | "
                "random rays | path tracer rays | triangle tests per random ray | least agreement with Embree |\n"
                "|---|---|---|---|---|---|---|---|---|\n");
    auto cell = [](const RaySetResult& r) {
        if (!r.measured)
            return std::string("n/a");
        char text[128];
        std::snprintf(text, sizeof text, "%.2fx (%s) / %.2fx (%s)", r.bestOne, r.bestOneWalk.c_str(), r.bestMany,
                      r.bestManyWalk.c_str());
        return std::string(text);
    };
    double logBytes = 0.0, logBuild = 0.0;
    struct Mean {
        double logOne = 0.0, logMany = 0.0;
        int n = 0;
        void add(const RaySetResult& r)
        {
            if (!r.measured)
                return;
            logOne += std::log(r.bestOne);
            logMany += std::log(r.bestMany);
            ++n;
        }
        std::string text() const
        {
            if (n == 0)
                return "n/a";
            char t[96];
            std::snprintf(t, sizeof t, "%.2fx / %.2fx (%d scenes)", std::exp(logOne / n), std::exp(logMany / n), n);
            return t;
        }
    } coherent, random, paths;
    for (const SceneResult& s : scenes) {
        double agreement = 100.0;
        for (const RaySetResult* r : {&s.coherent, &s.random, &s.paths})
            agreement = std::min(agreement, r->measured ? r->agreement : 100.0);
        std::printf("| %s | %zu | %.1f | %.2fx | %s | %s | %s | %.1f | %.3f %% |\n", s.name.c_str(), s.triangles,
                    s.bytesPerTriangle, s.buildRatio, cell(s.coherent).c_str(), cell(s.random).c_str(),
                    cell(s.paths).c_str(), s.random.testsPerRay, agreement);
        logBytes += std::log(std::max(1e-9, s.bytesPerTriangle));
        logBuild += std::log(std::max(1e-9, s.buildRatio));
        coherent.add(s.coherent);
        random.add(s.random);
        paths.add(s.paths);
    }
    std::printf("| geometric mean | | %.1f | %.2fx | %s | %s | %s | | |\n", std::exp(logBytes / double(scenes.size())),
                std::exp(logBuild / double(scenes.size())), coherent.text().c_str(), random.text().c_str(),
                paths.text().c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<SceneSource> scenes;
    std::string literal = "full";
    bool literalRule = false;
    int threads = 4, repeats = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scene" && i + 1 < argc)
            scenes.push_back({argv[++i], 0});
        else if (arg == "--literal" && i + 1 < argc &&
                 (std::string(argv[i + 1]) == "none" || std::string(argv[i + 1]) == "part" ||
                  std::string(argv[i + 1]) == "full"))
            literal = argv[++i];
        else if (arg == "--rule" && i + 1 < argc &&
                 (std::string(argv[i + 1]) == "engine" || std::string(argv[i + 1]) == "literal"))
            literalRule = std::string(argv[++i]) == "literal";
        else if (arg == "--threads" && i + 1 < argc)
            threads = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--repeat" && i + 1 < argc)
            repeats = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--generated" && i + 1 < argc) {
            // TRIANGLES or TRIANGLES:SIDE
            const std::string value = argv[++i];
            const size_t colon = value.find(':');
            const float side = colon == std::string::npos ? 128.0f : float(std::atof(value.c_str() + colon + 1));
            scenes.push_back({"", size_t(std::max(2, std::atoi(value.c_str()))), side > 0.0f ? side : 128.0f});
        } else {
            std::fprintf(stderr, "usage: bench_kdtree [--scene PATH | --generated TRIANGLES]... "
                                 "[--literal none|part|full] [--rule engine|literal] [--threads N] [--repeat N]\n"
                                 "  --generated TRIANGLES[:SIDE]: a generated height field SIDE units across "
                                 "(default 128)\n");
            return 2;
        }
    }
    if (scenes.empty())
        scenes.push_back({"resources/objects/scene/kindergarten.scene", 0});

    std::vector<SceneResult> results;
    bool ok = true;
    for (const SceneSource& source : scenes) {
        results.push_back(benchScene(source, literal, literalRule, threads, repeats));
        ok = ok && results.back().ok;
        std::fflush(stdout);
    }
    if (results.size() > 1)
        printSummary(results, threads);
    return ok ? 0 : 1;
}
