// kd-tree build, memory and closest-hit throughput on the demo scene, against the literal split
// search (kept with the tests) and, when installed, Embree 3 on the same triangles and rays.
// Prints one table.
//
//   bench_kdtree [--scene PATH | --generated TRIANGLES] [--literal none|part|full] [--threads N]
//                [--repeat N]
//
// --generated traces a dense generated mesh instead of a scene: rolling ground around the start
// view, its triangles all of one size and evenly spread (the demo's are of every size, clustered).
// Times are the best of --repeat runs (default 5); ours and Embree's runs are interleaved.
//
// The literal build runs on a part of the scene (the triangles inside x, z in [-24, 24]) and on the
// whole scene (about 11 s on a 2-core machine); --literal part skips the whole scene, --literal
// none both. The run fails (exit 1) when a literal tree differs from the fast one, or when the
// single, packet or stream walk finds another hit than the literal walk for any ray.
#include "KdTestScenes.h"
#include "support/DemoScene.h"

#include "content/KdTreeBuild.h"
#include "content/RayTracingScene.h"
#include "raytracing/KdTraversal.h"
#include "raytracing/ReferenceTracer.h"
#include "renderer/StartCamera.h"
#include "raytracing/RayWorkerPool.h"

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

Float3 sub(Float3 a, Float3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// Camera rays of the start view at half of 1280 x 720 (the ray-input resolution), reflected off
// their first hit about the geometric normal; pixels that see the sky give no ray. The rays are
// stored 2 x 2 pixel block after block along each pair of rows, the order the engine's tracer
// gathers its packets in (sixteen rays: four blocks side by side).
RaySet reflectionRays(const KdTree& tree, int width, int height)
{
    const OrvantaBench::ViewRays view = OrvantaBench::startView(float(width) / float(height));
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
                Float3 n{ray.hitAccel->normal[0], ray.hitAccel->normal[1], ray.hitAccel->normal[2]};
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
RaySet referencePathRays(const KdTree& twoSided, int width, int height, uint32_t samples)
{
    SkyEnvironment sky = uniformSky({0.5f, 0.6f, 0.8f});
    sky.towardSun = normalize(Float3{0.3f, 1.2f, 0.6f});
    sky.sunIrradiance = {6.0f, 6.0f, 5.5f};
    sky.sunCosRadius = std::cos(kSunAngularRadius);
    Camera camera;
    placeAtStartView(camera, float(width) / float(height));
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
    const KdNodeBox& box = tree.nodeBoxes[0];
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
    return tree.nodes.size() * sizeof(KdNode) + tree.traceNodes.size() * sizeof(KdTraceNode) + tree.nodeBoxes.size() * sizeof(KdNodeBox) +
           tree.leaves.size() * sizeof(KdLeaf) + tree.leafTriangles.size() * sizeof(uint32_t) +
           tree.triangleAccels.size() * sizeof(TriAccel);
}

size_t references(const KdTree& tree)
{
    size_t n = 0;
    for (const KdLeaf& leaf : tree.leaves)
        n += leaf.count;
    return n;
}

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
// every way.
void generateDenseMesh(size_t triangles, RayTracingGeometry& g)
{
    const uint32_t n = std::max<uint32_t>(2, uint32_t(std::sqrt(double(triangles) / 2.0)));
    g.surfaces.push_back(RtSurface{});
    const RtSurface* surface = &g.surfaces.back();
    const float size = 128.0f / float(n);
    for (uint32_t z = 0; z <= n; ++z)
        for (uint32_t x = 0; x <= n; ++x) {
            RtVertex v{};
            const float px = -64.0f + float(x) * size, pz = -64.0f + float(z) * size;
            v.position = {px, 1.5f * std::sin(px * 0.7f) * std::cos(pz * 0.45f) + 0.4f * std::sin(px * 3.1f + pz * 2.3f),
                          pz};
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

bool throughput(Table& table, const char* name, const KdTree& tree, const RaySet& rays, int threads,
                int repeats, void* embree)
{
    // A scene without a ray-traced surface in view has no reflection rays: nothing to time, and no
    // rate or ratio to print (they would be 0 / 0).
    if (rays.size() == 0) {
        table.row(std::string(name), "n/a (no rays)");
        return true;
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
        streamMany =
            std::max(streamMany, double(kStreamBlock) * runThreads(blocks, threads, traceStream, 1024 / kStreamBlock));
#ifdef ORVANTA_BENCH_EMBREE
        eOne = std::max(eOne, runThreads(rays.size(), 1, traceCulled));
        eMany = std::max(eMany, runThreads(rays.size(), threads, traceCulled));
        pOne = std::max(pOne, runThreads(rays.size(), 1, tracePlain));
        pMany = std::max(pMany, runThreads(rays.size(), threads, tracePlain));
#endif
    }
    // Both walks against the literal one (no segment clipping, one ray at a time).
    size_t packetSame = 0;
    for (size_t i = 0; i < rays.size(); ++i) {
        Ray literal = rayAt(rays, i);
        OrvantaTest::literalTraverse(tree, literal);
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
    table.rowf(std::string(name) + ": traverse, 1 / " + std::to_string(threads) + " threads",
               "%.2f / %.2f Mrays/s", one / 1e6, many / 1e6);
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
    table.rowf(std::string(name) + ": agreement with Embree (same triangle or t within 1e-4)", "%.3f %%",
               100.0 * double(same) / double(rays.size()));
#else
    (void)embree;
#endif
    return packetSame == rays.size();
}

}  // namespace

int main(int argc, char** argv)
{
    std::string scenePath = "resources/objects/scene/kindergarten.scene";
    std::string literal = "full";
    int threads = 4, repeats = 5;
    size_t generated = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scene" && i + 1 < argc)
            scenePath = argv[++i];
        else if (arg == "--literal" && i + 1 < argc)
            literal = argv[++i];
        else if (arg == "--threads" && i + 1 < argc)
            threads = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--repeat" && i + 1 < argc)
            repeats = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--generated" && i + 1 < argc)
            generated = size_t(std::max(2, std::atoi(argv[++i])));
        else {
            std::fprintf(stderr, "usage: bench_kdtree [--scene PATH | --generated TRIANGLES] [--literal none|part|full] "
                                 "[--threads N] [--repeat N]\n");
            return 2;
        }
    }

    RayTracingGeometry geometry;
    std::string tag, error;
    if (generated) {
        generateDenseMesh(generated, geometry);
        scenePath = "a generated mesh";
    } else if (!loadRayTracingScene(scenePath, geometry, tag, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const size_t triangles = geometry.triangles.size();
    Table table;
    std::printf("kd-tree on %s: %zu triangles, %zu vertices; %u hardware threads\n\n", scenePath.c_str(),
                triangles, geometry.vertices.size(), std::thread::hardware_concurrency());
    std::printf("| measure | value |\n|---|---|\n");

    KdTree tree;
    tree.geometry = &geometry;
    double buildSeconds = 1e30;
    for (int run = 0; run < std::min(repeats, 3); ++run) {
        const auto start = Clock::now();
        tree.buildKdTree();
        buildSeconds = std::min(buildSeconds, seconds(start));
    }
    table.rowf("build, whole scene (best of " + std::to_string(std::min(repeats, 3)) + ")", "%.3f s", buildSeconds);
    table.rowf("nodes / leaves / triangle references", "%zu / %zu / %zu", tree.nodes.size(), tree.leaves.size(),
               references(tree));
    const std::string path = (std::filesystem::temp_directory_path() / "bench_kdtree.kdTree").string();
    const std::vector<uint8_t> bytes = OrvantaTest::savedBytes(tree, path);
    table.rowf("tree in memory, bytes per triangle", "%.1f", double(treeBytes(tree)) / double(triangles));
    table.rowf("tree file, bytes per triangle", "%.1f", double(bytes.size()) / double(triangles));
    {
        const auto saving = Clock::now();
        const bool saved = tree.saveKdTree(path, "test");
        table.rowf("writing the tree file", "%.3f s%s", seconds(saving), saved ? "" : " (FAILED)");
        KdTree loaded;
        loaded.geometry = &geometry;
        const auto t0 = Clock::now();
        const bool read = loaded.loadKdTree(path, "test");
        table.rowf("reading the tree file back", "%.3f s%s", seconds(t0), read ? "" : " (FAILED)");
    }

    // The literal reference: the whole scene (compared with the tree above) and, always, a part.
    auto compareWithLiteral = [&](const RayTracingGeometry& subject, const std::string& label,
                                  const KdTree* fastTree, double fastSeconds) {
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
    if (literal != "none") {
        RayTracingGeometry part;
        // The generated mesh is dense: a smaller part keeps the literal build to seconds.
        const float half = generated ? 6.0f : 24.0f;
        OrvantaBench::keepTrianglesInside(geometry, {-half, 0, -half}, {half, 0, half}, part);
        identical = compareWithLiteral(part, "part (" + std::to_string(part.triangles.size()) +
                                                 " triangles inside x, z [-" + std::to_string(int(half)) + ", " +
                                                 std::to_string(int(half)) + "])",
                                       nullptr, 0.0);
        if (literal == "full")
            identical = compareWithLiteral(geometry, "whole scene", &tree, buildSeconds) && identical;
    }
    if (!identical)
        return 1;
    std::remove(path.c_str());

    void* embree = nullptr;
#ifdef ORVANTA_BENCH_EMBREE
    double embreeBuild = 1e30;
    for (int run = 1; run < std::min(repeats, 3); ++run)
        embreeBuild = std::min(embreeBuild, EmbreeScene(tree).buildSeconds);
    EmbreeScene embreeScene(tree);
    embreeBuild = std::min(embreeBuild, embreeScene.buildSeconds);
    embree = &embreeScene;
    table.rowf("Embree 3 rtcCommitScene, high quality, all threads (best of " + std::to_string(std::min(repeats, 3)) + ")",
               "%.3f s", embreeBuild);
    table.rowf("build time / Embree's", "%.1fx", buildSeconds / embreeBuild);
    table.rowf("Embree BVH, bytes per triangle", "%.1f", double(embreeScene.bytes) / double(triangles));
#endif

    const RaySet reflected = reflectionRays(tree, 640, 360);
    bool same = throughput(table, "start-view reflection rays", tree, reflected, threads, repeats, embree);
    const RaySet random = randomRays(tree, 250000);
    same = throughput(table, "random rays in the scene box", tree, random, threads, repeats, embree) && same;

    // The reference path tracer's rays walk a two-sided copy of the tree; Embree gets a scene that
    // culls nothing to match.
    KdTree twoSided = twoSidedCopy(tree);
    const RaySet paths = referencePathRays(twoSided, 160, 90, 4);
    void* twoSidedEmbree = nullptr;
#ifdef ORVANTA_BENCH_EMBREE
    EmbreeScene twoSidedScene(twoSided);
    twoSidedEmbree = &twoSidedScene;
#endif
    same = throughput(table, "reference path tracer rays (start view, two-sided)", twoSided, paths, threads, repeats,
                      twoSidedEmbree) &&
           same;
    return same ? 0 : 1;
}
