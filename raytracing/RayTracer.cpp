#include "raytracing/RayTracer.h"

#include "raytracing/PixelTracing.h"

namespace Orvanta {

RayTracer::RayTracer() = default;

RayTracer::~RayTracer() = default;

void RayTracer::create(uint32_t newWidth, uint32_t newHeight, unsigned workerCount)
{
    if (workers)
        return;
    workers = std::make_unique<RayWorkerPool>(workerCount);
    resize(newWidth, newHeight);
}

void RayTracer::resize(uint32_t newWidth, uint32_t newHeight)
{
    if (!workers)
        return;
    tracingWidth = newWidth;
    tracingHeight = newHeight;
    tiles.assign(traceTileCapacity(newWidth, newHeight), Tile{});
    raysPerTile.assign(tiles.size(), 0);
    tilesInUse = 0;
    currentRegion = {};
}

void RayTracer::setRegion(float left, float bottom, float right, float top)
{
    currentRegion = traceRegionForScreenRect(left, bottom, right, top, tracingWidth, tracingHeight);
    tilesInUse = cutIntoTiles(currentRegion.width, currentRegion.height, tiles);
}

uint64_t RayTracer::traceRegion(const TraceRegion& arrays)
{
    if (!workers || arrays.width != currentRegion.width || arrays.height != currentRegion.height)
        return 0;
    workers->run(tilesInUse, [&](uint32_t index) {
        const Tile& t = tiles[index];
        clearTileOutputs(arrays, t.x0, t.y0, t.x1, t.y1);
        raysPerTile[index] = traceTile(*this, arrays, t.x0, t.y0, t.x1, t.y1);
    });
    uint64_t rays = 0;
    for (uint32_t i = 0; i < tilesInUse; ++i)
        rays += raysPerTile[i];
    return rays;
}

RayTracer& rayTracer()
{
    // A function-local object: destroyed at exit after everything created before it, which stops
    // and joins the workers. Nothing that outlives it refers to its triangles.
    static RayTracer instance;
    return instance;
}

}  // namespace Orvanta
