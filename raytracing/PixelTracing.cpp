#include "raytracing/PixelTracing.h"

#include "raytracing/HalfFloat.h"
#include "raytracing/HitSurface.h"
#include "raytracing/ImageSampling.h"
#include "raytracing/KdTraversal.h"
#include "raytracing/Optics.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

constexpr float kMissDistance = 9000.0f;
constexpr float kRayMarker = 0.001f;
// Glass and water surfaces a refraction ray passes through before it takes what it meets.
constexpr int kMaxPassedSurfaces = 4;

void decodeTexel(const uint16_t* array, size_t index, float out[4])
{
    widenHalf4(array + index * 4, out);
}

// Texture-coordinate difference towards a neighbour pixel's ray.
void neighbourDelta(const RayTracingGeometry& geometry, const TraceRegion& region, const Ray& ray, float tu, float tv,
                    size_t index, float& du, float& dv)
{
    float o[4], d[4];
    decodeTexel(region.origins, index, o);
    decodeTexel(region.directions, index, d);
    float beta, gamma;
    planeBarycentrics(*ray.hitAccel, o, d, beta, gamma);
    float nu, nv;
    texCoordAt(geometry, *ray.hitTriangle, beta, gamma, nu, nv);
    du = nu - tu;
    dv = nv - tv;
}

}  // namespace

ShadedHit shadeHit(const RayTracingGeometry& geometry, const TraceRegion& region, const Ray& ray, uint32_t x,
                   uint32_t y)
{
    ShadedHit out;
    for (int a = 0; a < 3; ++a)
        out.position[a] = ray.origin[a] + ray.tHit * ray.direction[a];
    out.color[0] = out.color[1] = out.color[2] = out.color[3] = 1.0f;
    const RtTriangle* tri = ray.hitTriangle;
    const size_t vertexCount = geometry.vertices.size();
    if (!tri || !ray.hitAccel || tri->index0 >= vertexCount || tri->index1 >= vertexCount || tri->index2 >= vertexCount)
        return out;
    float tu, tv;
    texCoordAt(geometry, *tri, ray.beta, ray.gamma, tu, tv);

    TexCoordFootprint footprint;
    const uint32_t w = region.width, h = region.height;
    if (w > 1) {
        const uint32_t nx = (x & 1u) ? x - 1 : (x + 1 >= w ? x - 1 : x + 1);
        neighbourDelta(geometry, region, ray, tu, tv, size_t(nx) + size_t(w) * y, footprint.dudx, footprint.dvdx);
    }
    if (h > 1) {
        const uint32_t ny = ((y & 1u) || y + 1 >= h) ? y - 1 : y + 1;
        neighbourDelta(geometry, region, ray, tu, tv, size_t(x) + size_t(w) * ny, footprint.dudy, footprint.dvdy);
    }
    HitSurface surface;
    hitSurface(geometry, ray, footprint, surface);
    out.color[0] = surface.color.r;
    out.color[1] = surface.color.g;
    out.color[2] = surface.color.b;
    out.color[3] = surface.color.a;
    // A double-sided surface met from behind (a window bar seen through the pane from inside the
    // room) is lit on the side the ray sees, as the G-buffer write turns a back face's normal.
    const float facing = dot(faceNormal(ray), directionOf(ray)) > 0.0f ? -1.0f : 1.0f;
    out.normal[0] = surface.shadingNormal.x * facing;
    out.normal[1] = surface.shadingNormal.y * facing;
    out.normal[2] = surface.shadingNormal.z * facing;
    return out;
}

namespace {

// The outputs of pixel (x, y) for a ray already traversed.
void writePixel(const KdTree& tree, const TraceRegion& region, const Ray& ray, uint32_t x, uint32_t y)
{
    const size_t i = size_t(x) + size_t(region.width) * y;
    uint16_t* position = region.positions + i * 4;
    if (!(ray.tHit < kMissDistance) || !tree.geometry) {
        position[3] = 0x3C00;
        return;
    }
    ShadedHit hit = shadeHit(*tree.geometry, region, ray, x, y);
    uint8_t* color = region.colors + i * 4;
    for (int c = 0; c < 4; ++c) {
        const float v = 255.0f * hit.color[c];
        color[c] = uint8_t(v >= 255.0f ? 255.0f : (v > 0.0f ? v : 0.0f));
    }
    uint16_t* normal = region.normals + i * 4;
    for (int a = 0; a < 3; ++a) {
        normal[a] = narrowToHalf(hit.normal[a]);
        position[a] = narrowToHalf(hit.position[a]);
    }
    position[3] = 0;
}

// A refraction ray goes on through the glass and water it meets (see TracedRays).
void passTransmittingSurfaces(const KdTree& tree, Ray& ray)
{
    for (int i = 0; i < kMaxPassedSurfaces && ray.tHit < kMissDistance && ray.hitTriangle &&
                    surfaceTransmits(ray.hitTriangle->surface);
         ++i) {
        ray = rayPastHit(ray);
        traverse(tree, ray);
    }
}

}  // namespace

void tracePixel(const KdTree& tree, const TraceRegion& region, Ray& ray, uint32_t x, uint32_t y)
{
    traverse(tree, ray);
    if (region.rays == TracedRays::Refraction)
        passTransmittingSurfaces(tree, ray);
    writePixel(tree, region, ray, x, y);
}

namespace {

bool usable(const TraceRegion& region)
{
    return region.width != 0 && region.height != 0 && region.origins && region.directions && region.colors &&
           region.normals && region.positions;
}

}  // namespace

void clearTileOutputs(const TraceRegion& region, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1)
{
    if (!usable(region) || x0 >= region.width || y0 >= region.height)
        return;
    x1 = std::min(x1, region.width - 1);
    y1 = std::min(y1, region.height - 1);
    if (x1 < x0)
        return;
    const size_t columns = size_t(x1 - x0) + 1;
    for (uint32_t y = y0; y <= y1; ++y) {
        const size_t first = size_t(x0) + size_t(region.width) * y;
        std::fill_n(region.colors + first * 4, columns * 4, uint8_t(0));
        std::fill_n(region.normals + first * 4, columns * 4, uint16_t(0));
        uint16_t* position = region.positions + first * 4;
        for (size_t x = 0; x < columns; ++x, position += 4) {
            position[0] = position[1] = position[2] = 0;
            position[3] = 0x3C00;  // 1.0
        }
    }
}

uint32_t traceTile(const RayTracer& tracer, const TraceRegion& region, uint32_t x0, uint32_t y0, uint32_t x1,
                   uint32_t y1)
{
    if (!usable(region))
        return 0;
    x1 = std::min(x1, region.width - 1);
    y1 = std::min(y1, region.height - 1);
    // Neighbouring rays are walked as one packet, gathered from 2 x 2 pixel blocks (closer
    // together than four pixels of a row, so the lanes part ways less often), blocks side by side
    // along a pair of rows up to kMaxPacketRays rays; a CPU with fewer lanes walks each half or
    // quarter of the packet, a block or two, on its own. The packet walk gives every ray the
    // single walk's hit, so each pixel gets exactly what tracePixel would write for it.
    Ray rays[kMaxPacketRays];
    uint32_t columns[kMaxPacketRays], rows[kMaxPacketRays];
    unsigned count = 0;
    uint32_t traced = 0;
    const bool refraction = region.rays == TracedRays::Refraction;
    auto flush = [&]() {
        traversePacket(tracer.kdTree, rays, count);
        for (unsigned r = 0; r < count; ++r) {
            if (refraction)
                passTransmittingSurfaces(tracer.kdTree, rays[r]);
            writePixel(tracer.kdTree, region, rays[r], columns[r], rows[r]);
        }
        count = 0;
    };
    for (uint32_t y = y0; y <= y1; y += 2) {
        const uint32_t lastRow = std::min(y + 1, y1);
        for (uint32_t x = x0; x <= x1; x += 2) {
            const uint32_t lastColumn = std::min(x + 1, x1);
            for (uint32_t py = y; py <= lastRow; ++py)
                for (uint32_t px = x; px <= lastColumn; ++px) {
                    const size_t i = size_t(px) + size_t(region.width) * py;
                    float d[4];
                    decodeTexel(region.directions, i, d);
                    if (!(d[3] > kRayMarker))
                        continue;
                    float o[4];
                    decodeTexel(region.origins, i, o);
                    if (refraction)
                        for (int a = 0; a < 3; ++a)
                            o[a] += d[a] * o[3];
                    rays[count] = makeRay(o, d);
                    columns[count] = px;
                    rows[count++] = py;
                    ++traced;
                    if (count == kMaxPacketRays)
                        flush();
                }
        }
    }
    if (count)
        flush();
    return traced;
}

}  // namespace Orvanta
