// kd-tree build and traversal throughput on a synthetic scene: a wavy terrain grid plus random
// small triangles floating above it. Prints one table.
#include "KdTestScenes.h"
#include "raytracing/KdTraversal.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#ifdef ORVANTA_BENCH_EMBREE
#include <embree3/rtcore.h>
#endif

using namespace Orvanta;
using Clock = std::chrono::steady_clock;

namespace {

OrvantaTest::TestScene makeScene(int grid, float extent, int floaters)
{
    OrvantaTest::TestScene s;
    auto height = [](float x, float z) { return 0.5f * std::sin(x * 0.7f) * std::cos(z * 0.5f); };
    const float cell = extent / float(grid);
    for (int i = 0; i < grid; ++i)
        for (int j = 0; j < grid; ++j) {
            const float x0 = i * cell, z0 = j * cell, x1 = x0 + cell, z1 = z0 + cell;
            const Float3 a{x0, height(x0, z0), z0}, b{x1, height(x1, z0), z0};
            const Float3 c{x1, height(x1, z1), z1}, d{x0, height(x0, z1), z1};
            s.add(a, d, c);
            s.add(a, c, b);
        }
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> pos(0.0f, extent), up(0.5f, 4.0f), small(-0.3f, 0.3f);
    for (int i = 0; i < floaters; ++i) {
        const Float3 a{pos(rng), up(rng), pos(rng)};
        s.add(a, {a.x + small(rng), a.y + small(rng), a.z + small(rng)},
              {a.x + small(rng), a.y + small(rng), a.z + small(rng)}, true);
    }
    return s;
}

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double raysPerSecond(const KdTree& tree, float extent, int threads, int raysPerThread)
{
    std::vector<std::thread> workers;
    std::vector<int> hits(threads, 0);
    const auto start = Clock::now();
    for (int w = 0; w < threads; ++w)
        workers.emplace_back([&, w] {
            std::mt19937 rng(100 + w);
            std::uniform_real_distribution<float> pos(0.0f, extent), dir(-1.0f, 1.0f);
            for (int i = 0; i < raysPerThread; ++i) {
                const float o[3] = {pos(rng), 5.0f, pos(rng)};
                const float d[3] = {dir(rng), -1.0f, dir(rng)};
                Ray r = makeRay(o, d);
                traverse(tree, r);
                hits[w] += r.hitTriangle != nullptr;
            }
        });
    for (std::thread& t : workers)
        t.join();
    return double(threads) * raysPerThread / seconds(start);
}


#ifdef ORVANTA_BENCH_EMBREE
// The same rays through Embree's own BVH over the same triangles (culling and hit rules differ:
// Embree reports back faces too), as a reference for the traversal rate.
struct EmbreeResult {
    double buildSeconds = 0;
    double raysPerSecond1 = 0;
    double raysPerSecond4 = 0;
};

EmbreeResult runEmbree(const RayTracingGeometry& g, float extent, int rays)
{
    EmbreeResult result;
    RTCDevice device = rtcNewDevice(nullptr);
    const auto start = Clock::now();
    RTCScene scene = rtcNewScene(device);
    RTCGeometry geom = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
    float* v = static_cast<float*>(rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                           3 * sizeof(float), g.vertices.size()));
    for (size_t i = 0; i < g.vertices.size(); ++i) {
        v[3 * i] = g.vertices[i].position.x;
        v[3 * i + 1] = g.vertices[i].position.y;
        v[3 * i + 2] = g.vertices[i].position.z;
    }
    unsigned* idx = static_cast<unsigned*>(rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                   3 * sizeof(unsigned), g.triangles.size()));
    for (size_t i = 0; i < g.triangles.size(); ++i) {
        idx[3 * i] = g.triangles[i].index0;
        idx[3 * i + 1] = g.triangles[i].index1;
        idx[3 * i + 2] = g.triangles[i].index2;
    }
    rtcCommitGeometry(geom);
    rtcAttachGeometry(scene, geom);
    rtcReleaseGeometry(geom);
    rtcCommitScene(scene);
    result.buildSeconds = seconds(start);
    auto trace = [&](int threads) {
        std::vector<std::thread> workers;
        const int perThread = rays / threads;
        const auto t0 = Clock::now();
        for (int w = 0; w < threads; ++w)
            workers.emplace_back([&, w] {
                std::mt19937 rng(100 + w);
                std::uniform_real_distribution<float> pos(0.0f, extent), dir(-1.0f, 1.0f);
                RTCIntersectContext context;
                rtcInitIntersectContext(&context);
                for (int i = 0; i < perThread; ++i) {
                    RTCRayHit rh{};
                    rh.ray.org_x = pos(rng);
                    rh.ray.org_y = 5.0f;
                    rh.ray.org_z = pos(rng);
                    rh.ray.dir_x = dir(rng);
                    rh.ray.dir_y = -1.0f;
                    rh.ray.dir_z = dir(rng);
                    rh.ray.tnear = 0.0f;
                    rh.ray.tfar = kRayNoHit;
                    rh.ray.mask = 0xFFFFFFFFu;
                    rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
                    rtcIntersect1(scene, &context, &rh);
                }
            });
        for (std::thread& t : workers)
            t.join();
        return double(perThread) * threads / seconds(t0);
    };
    result.raysPerSecond1 = trace(1);
    result.raysPerSecond4 = trace(4);
    rtcReleaseScene(scene);
    rtcReleaseDevice(device);
    return result;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    const float extent = argc > 1 ? float(std::atof(argv[1])) : 20.0f;
    OrvantaTest::TestScene scene = makeScene(60, extent, 2800);
    const size_t triangles = scene.geometry.triangles.size();

    KdTree fast;
    fast.geometry = &scene.geometry;
    auto start = Clock::now();
    fast.buildKdTree();
    const double fastSeconds = seconds(start);

    KdTree literal;
    literal.geometry = &scene.geometry;
    start = Clock::now();
    buildKdTreeWith(literal, OrvantaTest::literalSplit);
    const double literalSeconds = seconds(start);

    const std::string path = "/tmp/bench_kdtree.kdTree";
    const size_t bytes = OrvantaTest::savedBytes(fast, path).size();
    const bool identical = OrvantaTest::savedBytes(literal, path + "2") == OrvantaTest::savedBytes(fast, path);
    size_t references = 0;
    for (const KdLeaf& leaf : fast.leaves)
        references += leaf.count;

    const int rays = 400000;
    const double one = raysPerSecond(fast, extent, 1, rays);
    const double four = raysPerSecond(fast, extent, 4, rays / 4);

    std::printf("kd-tree, synthetic scene: %zu triangles (60x60 terrain grid + 2800 floaters), %.0f x %.0f units\n",
                triangles, extent, extent);
    std::printf("| measure | value |\n|---|---|\n");
    std::printf("| fast build | %.3f s |\n", fastSeconds);
    std::printf("| literal build (every candidate x every triangle) | %.3f s |\n", literalSeconds);
    std::printf("| speed-up | %.1fx |\n", literalSeconds / fastSeconds);
    std::printf("| trees identical | %s |\n", identical ? "yes" : "NO");
    std::printf("| nodes / leaves / triangle references | %zu / %zu / %zu |\n", fast.nodes.size(),
                fast.leaves.size(), references);
    std::printf("| file bytes per triangle | %.1f |\n", double(bytes) / double(triangles));
    std::printf("| traverse, 1 thread | %.2f Mrays/s |\n", one / 1e6);
    std::printf("| traverse, 4 threads (%u hardware threads) | %.2f Mrays/s |\n",
                std::thread::hardware_concurrency(), four / 1e6);
#ifdef ORVANTA_BENCH_EMBREE
    const EmbreeResult e = runEmbree(scene.geometry, extent, rays);
    std::printf("| Embree 3 BVH build | %.3f s |\n", e.buildSeconds);
    std::printf("| Embree 3 rtcIntersect1, 1 thread | %.2f Mrays/s |\n", e.raysPerSecond1 / 1e6);
    std::printf("| Embree 3 rtcIntersect1, 4 threads | %.2f Mrays/s |\n", e.raysPerSecond4 / 1e6);
#endif
    return identical ? 0 : 1;
}
