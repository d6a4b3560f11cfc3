#include "raytracing/PixelTracing.h"

#include "raytracing/HalfFloat.h"
#include "raytracing/ImageSampling.h"
#include "raytracing/KdTraversal.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

constexpr float kMissDistance = 9000.0f;
constexpr float kRayMarker = 0.001f;

void decodeTexel(const uint16_t* array, size_t index, float out[4]) {
    widenHalf4(array + index * 4, out);
}

// Barycentric weights of the point where a ray meets the hit triangle's plane, with no range check:
// a neighbour's ray may pass outside the triangle.
void planeBarycentrics(const TriAccel& a, const float o[3], const float d[3], float& beta,
                       float& gamma) {
    const uint32_t k = a.k < 3 ? a.k : 0;
    const uint32_t u = kTriAccelAxisU[k];
    const uint32_t v = kTriAccelAxisV[k];
    const float t = (a.nD - o[k] - a.nU * o[u] - a.nV * o[v]) / (a.nU * d[u] + d[k] + a.nV * d[v]);
    const float hu = o[u] + d[u] * t;
    const float hv = o[v] + d[v] * t;
    beta = a.betaU * hu + a.betaV * hv + a.betaD;
    gamma = a.gammaU * hu + a.gammaV * hv + a.gammaD;
}

struct Corners {
    const RtVertex* v[3];
};

void texCoordAt(const Corners& c, float beta, float gamma, float& tu, float& tv) {
    const float* t0 = c.v[0]->texCoord;
    const float* t1 = c.v[1]->texCoord;
    const float* t2 = c.v[2]->texCoord;
    tu = t0[0] + (t1[0] - t0[0]) * beta + (t2[0] - t0[0]) * gamma;
    tv = t0[1] + (t1[1] - t0[1]) * beta + (t2[1] - t0[1]) * gamma;
}

Float3 attribute(Float3 p0, Float3 p1, Float3 p2, float beta, float gamma) {
    return {p0.x + (p1.x - p0.x) * beta + (p2.x - p0.x) * gamma,
            p0.y + (p1.y - p0.y) * beta + (p2.y - p0.y) * gamma,
            p0.z + (p1.z - p0.z) * beta + (p2.z - p0.z) * gamma};
}

bool normalise(Float3 in, float out[3]) {
    const float len = std::sqrt(in.x * in.x + in.y * in.y + in.z * in.z);
    if (!(len > 0.0f) || !std::isfinite(len)) return false;
    out[0] = in.x / len;
    out[1] = in.y / len;
    out[2] = in.z / len;
    return true;
}

// Texture-coordinate difference towards a neighbour pixel's ray.
void neighbourDelta(const TraceRegion& region, const TriAccel& accel, const Corners& c, float tu,
                    float tv, size_t index, float& du, float& dv) {
    float o[4], d[4];
    decodeTexel(region.origins, index, o);
    decodeTexel(region.directions, index, d);
    float beta, gamma;
    planeBarycentrics(accel, o, d, beta, gamma);
    float nu, nv;
    texCoordAt(c, beta, gamma, nu, nv);
    du = nu - tu;
    dv = nv - tv;
}

}  // namespace

ShadedHit shadeHit(const RayTracingGeometry& geometry, const TraceRegion& region, const Ray& ray,
                   uint32_t x, uint32_t y) {
    ShadedHit out;
    for (int a = 0; a < 3; ++a) out.position[a] = ray.origin[a] + ray.tHit * ray.direction[a];
    out.color[0] = out.color[1] = out.color[2] = out.color[3] = 1.0f;
    const RtTriangle* tri = ray.hitTriangle;
    const size_t vertexCount = geometry.vertices.size();
    if (!tri || !ray.hitAccel || tri->index0 >= vertexCount || tri->index1 >= vertexCount ||
        tri->index2 >= vertexCount)
        return out;
    const Corners c{{&geometry.vertices[tri->index0], &geometry.vertices[tri->index1],
                     &geometry.vertices[tri->index2]}};

    float tu, tv;
    texCoordAt(c, ray.beta, ray.gamma, tu, tv);

    float dudx = 0, dvdx = 0, dudy = 0, dvdy = 0;
    const uint32_t w = region.width, h = region.height;
    if (w > 1) {
        const uint32_t nx = (x & 1u) ? x - 1 : (x + 1 >= w ? x - 1 : x + 1);
        neighbourDelta(region, *ray.hitAccel, c, tu, tv, size_t(nx) + size_t(w) * y, dudx, dvdx);
    }
    if (h > 1) {
        const uint32_t ny = ((y & 1u) || y + 1 >= h) ? y - 1 : y + 1;
        neighbourDelta(region, *ray.hitAccel, c, tu, tv, size_t(x) + size_t(w) * ny, dudy, dvdy);
    }

    const RtSurface* surface = tri->surface;
    if (surface && surface->colorImage) {
        SampledColor s = sampleImage(*surface->colorImage, tu, tv, dudx, dvdx, dudy, dvdy);
        out.color[0] = s.r;
        out.color[1] = s.g;
        out.color[2] = s.b;
        out.color[3] = s.a;
    }
    float m[3] = {0.0f, 0.0f, 1.0f};
    if (surface && surface->normalImage) {
        SampledColor s = sampleImage(*surface->normalImage, tu, tv, dudx, dvdx, dudy, dvdy);
        m[0] = 2.0f * s.r - 1.0f;
        m[1] = 2.0f * s.g - 1.0f;
        m[2] = 2.0f * s.b - 1.0f;
    }
    const Float3 n = attribute(c.v[0]->normal, c.v[1]->normal, c.v[2]->normal, ray.beta, ray.gamma);
    const Float3 t =
        attribute(c.v[0]->tangent, c.v[1]->tangent, c.v[2]->tangent, ray.beta, ray.gamma);
    const Float3 b =
        attribute(c.v[0]->binormal, c.v[1]->binormal, c.v[2]->binormal, ray.beta, ray.gamma);
    const Float3 shading{m[0] * t.x + m[1] * b.x + m[2] * n.x, m[0] * t.y + m[1] * b.y + m[2] * n.y,
                         m[0] * t.z + m[1] * b.z + m[2] * n.z};
    // A degenerate tangent frame falls back to the interpolated normal rather than NaN.
    if (!normalise(shading, out.normal)) normalise(n, out.normal);
    return out;
}

namespace {

// The outputs of pixel (x, y) for a ray already traversed.
void writePixel(const KdTree& tree, const TraceRegion& region, const Ray& ray, uint32_t x, uint32_t y) {
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

}  // namespace

void tracePixel(const KdTree& tree, const TraceRegion& region, Ray& ray, uint32_t x, uint32_t y) {
    traverse(tree, ray);
    writePixel(tree, region, ray, x, y);
}

namespace {

bool usable(const TraceRegion& region) {
    return region.width != 0 && region.height != 0 && region.origins && region.directions &&
           region.colors && region.normals && region.positions;
}

}  // namespace

void clearTileOutputs(const TraceRegion& region, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
    if (!usable(region) || x0 >= region.width || y0 >= region.height) return;
    x1 = std::min(x1, region.width - 1);
    y1 = std::min(y1, region.height - 1);
    if (x1 < x0) return;
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

uint32_t traceTile(const RayTracer& tracer, const TraceRegion& region, uint32_t x0, uint32_t y0,
                   uint32_t x1, uint32_t y1) {
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
    auto flush = [&]() {
        traversePacket(tracer.kdTree, rays, count);
        for (unsigned r = 0; r < count; ++r) writePixel(tracer.kdTree, region, rays[r], columns[r], rows[r]);
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
                    if (!(d[3] > kRayMarker)) continue;
                    float o[4];
                    decodeTexel(region.origins, i, o);
                    rays[count] = makeRay(o, d);
                    columns[count] = px;
                    rows[count++] = py;
                    ++traced;
                    if (count == kMaxPacketRays) flush();
                }
        }
    }
    if (count) flush();
    return traced;
}

}  // namespace Orvanta
