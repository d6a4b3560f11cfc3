#include "raytracing/RayTracer.h"

#include "raytracing/PixelTracing.h"

namespace Orvanta {

RayTracer::RayTracer() = default;

RayTracer::~RayTracer() = default;

void RayTracer::create(uint32_t newWidth, uint32_t newHeight, unsigned workerCount)
{
    if (workers)
        return;
    tracingWidth = newWidth;
    tracingHeight = newHeight;
    tiles.assign(traceTileCapacity(newWidth, newHeight), Tile{});
    raysPerTile.assign(tiles.size(), 0);
    refractionRaysPerTile.assign(tiles.size(), 0);
    tilesInUse = 0;
    currentRegion = {};
    workers = std::make_unique<RayWorkerPool>(workerCount);
}

void RayTracer::setRegion(float left, float bottom, float right, float top)
{
    currentRegion = traceRegionForScreenRect(left, bottom, right, top, tracingWidth, tracingHeight);
    tilesInUse = cutIntoTiles(currentRegion.width, currentRegion.height, tiles);
}

uint64_t RayTracer::traceRegion(const TraceRegion& arrays)
{
    return traceRegions(arrays, TraceRegion{}).reflection;
}

RayTracer::RayCounts RayTracer::traceRegions(const TraceRegion& reflections, const TraceRegion& refractions)
{
    RayCounts counts;
    if (!workers || reflections.width != currentRegion.width || reflections.height != currentRegion.height)
        return counts;
    const bool refract = refractions.width == currentRegion.width && refractions.height == currentRegion.height &&
                         currentRegion.width != 0;
    workers->run(tilesInUse, [&](uint32_t index) {
        const Tile& t = tiles[index];
        clearTileOutputs(reflections, t.x0, t.y0, t.x1, t.y1);
        raysPerTile[index] = traceTile(*this, reflections, t.x0, t.y0, t.x1, t.y1);
        refractionRaysPerTile[index] = 0;
        if (refract) {
            clearTileOutputs(refractions, t.x0, t.y0, t.x1, t.y1);
            refractionRaysPerTile[index] = traceTile(*this, refractions, t.x0, t.y0, t.x1, t.y1);
        }
    });
    for (uint32_t i = 0; i < tilesInUse; ++i) {
        counts.reflection += raysPerTile[i];
        counts.refraction += refractionRaysPerTile[i];
    }
    return counts;
}

RayTracer& rayTracer()
{
    // A function-local object: destroyed at exit after everything created before it, which stops
    // and joins the workers. Nothing that outlives it refers to its triangles.
    static RayTracer instance;
    return instance;
}

}  // namespace Orvanta
