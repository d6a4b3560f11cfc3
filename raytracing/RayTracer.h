#pragma once
#include "content/KdTree.h"
#include "content/RayTracingGeometry.h"
#include "raytracing/RayWorkerPool.h"
#include "raytracing/TraceTiles.h"

#include <memory>
#include <vector>

namespace Orvanta {

struct TraceRegion;

// The CPU half of the hybrid ray tracer: the world-space geometry filled while the scene loads,
// the kd-tree obtained over it afterwards (both read-only once loading has finished), the
// tracing resolution, the region traced this frame with its tiles, and the worker threads. It
// makes no GL call; the renderer reads the rays back, hands them in and uploads the results.
class RayTracer {
public:
    // The ratio of screen to tracing resolution.
    static constexpr uint32_t divisor = 2;

    RayTracer();
    ~RayTracer();
    RayTracer(const RayTracer&) = delete;
    RayTracer& operator=(const RayTracer&) = delete;

    // Sets the tracing resolution, sizes the tile array for it and starts the workers. Only the
    // first call does anything.
    void create(uint32_t tracingWidth, uint32_t tracingHeight,
                unsigned workerCount = RayWorkerPool::defaultWorkerCount);
    bool created() const { return workers != nullptr; }

    // The traced region for a screen rectangle (left, bottom, right, top in 0..1), cut into
    // tiles; see traceRegionForScreenRect for how a rectangle outside 0..1 or an inverted one is
    // clamped, so the tile array is never overrun.
    void setRegion(float left, float bottom, float right, float top);

    // Traces every tile of the region on the workers and returns when all are done, with the
    // number of rays traced. arrays holds the region's inputs and outputs (its size must be the
    // region's). Every pixel of the region is written: a pixel without a ray gets colour 0,
    // normal 0 and position (0, 0, 0, 1), which later passes read as nothing to light. Without
    // create(), or with arrays of another size, nothing is traced and 0 is returned.
    uint64_t traceRegion(const TraceRegion& arrays);

    struct RayCounts {
        uint64_t reflection = 0;
        uint64_t refraction = 0;
    };
    // traceRegion for the reflection rays and, in the same tiles after them, the refraction rays
    // of a second set of arrays (its own directions and outputs; TracedRays::Refraction). A
    // refraction set of another size than the region's (none: TraceRegion{}) is not traced.
    RayCounts traceRegions(const TraceRegion& reflections, const TraceRegion& refractions);

    uint32_t width() const { return tracingWidth; }
    uint32_t height() const { return tracingHeight; }
    const PixelRect& region() const { return currentRegion; }
    uint32_t tileCount() const { return tilesInUse; }
    uint32_t tileCapacity() const { return static_cast<uint32_t>(tiles.size()); }
    unsigned workerCount() const { return workers ? workers->workerCount() : 0; }
    // The workers, for other work on the scene that runs fork-join in the same way (the reference
    // path tracer); null before create().
    RayWorkerPool* workerPool() const { return workers.get(); }

    RayTracingGeometry geometry;
    KdTree kdTree;

private:
    uint32_t tracingWidth = 0;
    uint32_t tracingHeight = 0;
    PixelRect currentRegion;
    std::vector<Tile> tiles;
    uint32_t tilesInUse = 0;
    // Reflection and refraction rays found per tile of the running batch; each entry is written
    // by the one worker that traces the tile.
    std::vector<uint32_t> raysPerTile;
    std::vector<uint32_t> refractionRaysPerTile;
    std::unique_ptr<RayWorkerPool> workers;
};

// The process-wide ray tracer, created on first use and kept until exit, when its workers are
// shut down in order.
RayTracer& rayTracer();

}  // namespace Orvanta
