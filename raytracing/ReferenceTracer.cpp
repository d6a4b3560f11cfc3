#include "raytracing/ReferenceTracer.h"

#include "gpu/SubmeshMaterial.h"

#include "raytracing/HitSurface.h"
#include "raytracing/KdTraversal.h"
#include "raytracing/Optics.h"
#include "raytracing/PathSampling.h"
#include "raytracing/RayWorkerPool.h"
#include "raytracing/SunPortals.h"
#include "raytracing/SurfacePassing.h"
#include "raytracing/ThinSheets.h"
#include "raytracing/WindowPortals.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>

namespace Orvanta {

namespace {

// Tiles are small so that the pool's dynamic hand-out evens out their very different costs
// (open sky against foliage), and their paths fit the caches as one wavefront.
constexpr uint32_t kTileSize = 16;
// Mirror and pane events a path may take on top of its bounces, so that two panes of a window
// and a reflection in them still count as one bounce's worth of light.
constexpr int kMaxSpecularEvents = 8;
// Russian roulette starts after this many bounces, so that short paths keep their full weight.
constexpr int kRouletteStart = 3;
// The share of the way to a sun patch, at its end, in which a hit counts as the patch itself.
constexpr float kJoinSlack = 1e-3f;
// The share of a path's next directions aimed at the window panes where panes of the vertex's room
// lie in front of its surface. Half: a room's light comes in almost all through its windows, and
// the other half keeps following the surface's own reflectance, which finds the room's own light.
constexpr float kWindowShare = 0.5f;

Float3 leaveSurface(Float3 p, Float3 ng, Float3 direction)
{
    const float d = surfaceOffsetDistance(p);
    return p + ng * (dot(direction, ng) >= 0.0f ? d : -d);
}

Ray rayFrom(Float3 origin, Float3 direction)
{
    const float o[3] = {origin.x, origin.y, origin.z};
    const float d[3] = {direction.x, direction.y, direction.z};
    return makeRay(o, d);
}

// A hit made ready for light transport, both normals turned towards the side the ray came from
// (as the G-buffer write turns them towards the camera).
struct Shading {
    Float3 position;
    Float3 geometric;      // unit face normal
    Float3 shading;        // unit, normal map applied
    Float3 smoothNormal;   // unit interpolated vertex normal (the mirror's, as in the frame)
    bool entering = true;  // the ray meets the side the vertex normals face
    Float3 albedo;
    float specular = 0.0f;
    float power = 1.0f;
    // A thin translucent sheet: it scatters diffusely to both of its sides alike, half of its
    // albedo each way, as light through frosted glass.
    bool translucent = false;
    const RtSurface* surface = nullptr;
};

bool prepareShading(const RayTracingGeometry& geometry, const Ray& ray, const TexCoordFootprint& footprint, Shading& s)
{
    HitSurface hit;
    if (!hitSurface(geometry, ray, footprint, hit, ImageFilter::AsGpu))
        return false;
    const Float3 d = directionOf(ray);
    // Only a triangle with area is ever hit, so its record's normal has unit length.
    const Float3 face = faceNormal(ray);
    const float facing = dot(face, d) < 0.0f ? 1.0f : -1.0f;
    s.position = hitPoint(ray);
    s.geometric = face * facing;
    s.shading = hit.shadingNormal * facing;
    if (!(dot(s.shading, s.geometric) > 0.0f))
        s.shading = s.geometric;
    const float smoothLength = length(hit.interpolatedNormal);
    s.smoothNormal = smoothLength > 0.0f ? hit.interpolatedNormal * (facing / smoothLength) : s.geometric;
    if (!(dot(s.smoothNormal, s.geometric) > 0.0f))
        s.smoothNormal = s.geometric;
    s.entering = dot(hit.interpolatedNormal, d) <= 0.0f;
    s.albedo = {hit.color.r, hit.color.g, hit.color.b};
    s.surface = hit.surface;
    s.specular = kDefaultSpecularIntensity;  // what the frame reads without a specular image
    if (hit.surface && hit.surface->specularImage)
        s.specular = sampleWith(ImageFilter::AsGpu, *hit.surface->specularImage, hit.tu, hit.tv, footprint).r;
    s.specular = std::clamp(s.specular, 0.0f, 1.0f);
    // The G-buffer keeps the exponent at 1 or more, and the light pass clamps it to 2048.
    s.power = std::clamp(hit.surface ? hit.surface->specularPower : 0.0f, 1.0f, 2048.0f);
    s.translucent = hit.surface && hit.surface->transparent;
    if (s.translucent) {
        s.specular = 0.0f;
        s.shading = s.geometric;
    }
    return true;
}

// The cosine of the light's angle with the shading normal, on either side of a translucent sheet.
float cosineTo(const Shading& s, Float3 l)
{
    const float c = dot(s.shading, l);
    return s.translucent ? std::fabs(c) : c;
}

// The deferred lights' reflectance model: Lambert plus normalised Blinn-Phong about the shading
// normal, nothing below either normal.
Float3 evaluateBsdf(const Shading& s, Float3 toViewer, Float3 toLight)
{
    if (s.translucent)
        return s.albedo / (2.0f * EnginePi);
    if (dot(s.geometric, toLight) <= 0.0f || dot(s.shading, toLight) <= 0.0f)
        return {};
    const Float3 h = normalize(toLight + toViewer);
    const float nDotH = std::max(dot(s.shading, h), 0.0f);
    const float specular = s.specular * (s.power + 8.0f) / (8.0f * EnginePi) * std::pow(nDotH, s.power);
    return s.albedo / EnginePi + Float3{specular, specular, specular};
}

// Share of the samples given to the diffuse lobe, by the lobes' albedos.
float diffuseShare(const Shading& s)
{
    const float diffuse = luminanceOf(s.albedo);
    const float total = diffuse + s.specular;
    return total > 0.0f ? diffuse / total : 1.0f;
}

float bsdfPdf(const Shading& s, Float3 toViewer, Float3 toLight)
{
    if (s.translucent)
        return std::fabs(dot(s.shading, toLight)) / (2.0f * EnginePi);
    const float cosine = dot(s.shading, toLight);
    if (cosine <= 0.0f)
        return 0.0f;
    const float share = diffuseShare(s);
    const Float3 h = normalize(toLight + toViewer);
    const float nDotH = std::max(dot(s.shading, h), 0.0f);
    const float vDotH = std::max(dot(toViewer, h), 1e-6f);
    const float halfPdf = (s.power + 1.0f) / (2.0f * EnginePi) * std::pow(nDotH, s.power);
    return share * cosine / EnginePi + (1.0f - share) * halfPdf / (4.0f * vDotH);
}

Float3 sampleBsdf(const Shading& s, Float3 toViewer, SampleGenerator& random)
{
    const float choice = random.uniform();
    const float u1 = random.uniform(), u2 = random.uniform();
    if (s.translucent)
        return sampleCosineHemisphere(choice < 0.5f ? s.shading : -s.shading, u1, u2);
    if (choice < diffuseShare(s))
        return sampleCosineHemisphere(s.shading, u1, u2);
    const Float3 h = samplePowerCosine(s.shading, s.power, u1, u2);
    return reflectAbout(-toViewer, h);
}

float powerHeuristic(float chosen, float other)
{
    const float a = chosen * chosen, b = other * other;
    return a + b > 0.0f ? a / (a + b) : 0.0f;
}

Float3 multiply(Float3 a, Float3 b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
bool isBlack(Float3 c)
{
    return !(c.x > 0.0f || c.y > 0.0f || c.z > 0.0f);
}
float largestOf(Float3 c)
{
    return std::max({c.x, c.y, c.z});
}

struct PathState {
    Ray ray;
    Float3 throughput{1.0f, 1.0f, 1.0f};
    Float3 radiance;
    float lastPdf = 0.0f;  // of the BSDF sample that made the ray
    // The surface the ray left also reached the sun's patches through the panes (sampleSunPortal),
    // from previousPosition: the sun's light at this ray's hit is shared between both ways.
    bool portalBefore = false;
    Float3 previousPosition;
    bool lastSpecular = true;  // the ray came from the camera or a mirror: it sees the sky whole
    bool terminal = false;     // the ray only looks for the sky: its hit is not shaded
    bool alive = true;
    int bounces = 0;
    int specularEvents = 0;
    uint32_t pixel = 0;
    float jitterX = 0.5f, jitterY = 0.5f;
    SampleGenerator random{0, 0};
};

struct ShadowRay {
    Ray ray;
    Float3 contribution;
    uint32_t path = 0;
    // For the sun's light at a hit the panes could also have led to: the density of the hit over
    // surface area by the path's own direction, and the hit face's |cos| to the sun; 0: no sharing.
    float bsdfAreaPdf = 0.0f;
    float sunFacing = 0.0f;
};

// A surface the sun's light through the panes is sampled on: diffuse and opaque, since a mirror
// or a sheet lets a path go on before its own light is counted.
bool portalTarget(const Shading& s)
{
    return !s.translucent && !(s.surface && s.surface->hasMirrorPass);
}

uint64_t mixSeed(uint64_t a, uint64_t b)
{
    uint64_t x = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull + (a << 6) + (a >> 2));
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    return x ^ (x >> 29);
}

Float3 cameraDirection(const Camera& camera, float u, float v)
{
    return normalize(frustumRay(camera.frustum, u, v));
}

// Texture footprint of a first hit from the neighbouring pixels' rays (as the frame's texture
// sampling derives its level from screen-space derivatives).
TexCoordFootprint primaryFootprint(const RayTracingGeometry& g, const Camera& camera, const Ray& ray, float u, float v,
                                   float du, float dv)
{
    TexCoordFootprint f;
    float tu, tv;
    texCoordAt(g, *ray.hitTriangle, ray.beta, ray.gamma, tu, tv);
    auto delta = [&](Float3 d, float& outU, float& outV) {
        const float dir[3] = {d.x, d.y, d.z};
        float beta, gamma, nu, nv;
        const float eye[3] = {camera.position.x, camera.position.y, camera.position.z};
        planeBarycentrics(*ray.hitAccel, eye, dir, beta, gamma);
        texCoordAt(g, *ray.hitTriangle, beta, gamma, nu, nv);
        outU = std::isfinite(nu) ? nu - tu : 0.0f;
        outV = std::isfinite(nv) ? nv - tv : 0.0f;
    };
    delta(cameraDirection(camera, u + du, v), f.dudx, f.dvdx);
    delta(cameraDirection(camera, u, v + dv), f.dudy, f.dvdy);
    return f;
}

// The pixels of a tile in 2 x 2 blocks side by side, so that consecutive groups of 16 camera rays
// (one packet) are close together.
std::vector<uint32_t> tilePixels(const ReferenceImage& image, uint32_t x0, uint32_t y0)
{
    std::vector<uint32_t> pixels;
    const uint32_t x1 = std::min(x0 + kTileSize, image.width), y1 = std::min(y0 + kTileSize, image.height);
    for (uint32_t y = y0; y < y1; y += 2)
        for (uint32_t x = x0; x < x1; x += 2)
            for (uint32_t py = y; py < std::min(y + 2, y1); ++py)
                for (uint32_t px = x; px < std::min(x + 2, x1); ++px)
                    pixels.push_back(px + image.width * py);
    return pixels;
}

class TileIntegrator {
public:
    TileIntegrator(const ReferenceScene& scene, const ThinSheets& sheets, const SunPortals& portals,
                   const WindowPanes& windows, const Camera& camera, uint32_t width, uint32_t height)
        : scene(scene), tree(*scene.tree), geometry(*scene.tree->geometry), sheets(sheets), portals(portals),
          windows(windows), sky(*scene.sky), camera(camera), width(width), height(height)
    {
    }

    // One path per pixel of the list; adds each path's radiance to sum.
    void tracePaths(const std::vector<uint32_t>& pixels, uint64_t sampleIndex, double* sum, double* oddSum)
    {
        paths.assign(pixels.size(), PathState());
        for (size_t i = 0; i < pixels.size(); ++i) {
            PathState& p = paths[i];
            p.pixel = pixels[i];
            p.random = SampleGenerator(p.pixel, mixSeed(scene.seed, sampleIndex));
            p.jitterX = p.random.uniform();
            p.jitterY = p.random.uniform();
            const float u = (float(p.pixel % width) + p.jitterX) / float(width);
            const float v = (float(p.pixel / width) + p.jitterY) / float(height);
            p.ray = rayFrom(camera.position, cameraDirection(camera, u, v));
        }
        traceCameraRays();
        while (true) {
            sunRays.clear();
            skyRays.clear();
            bool any = false;
            for (PathState& p : paths)
                if (p.alive) {
                    if (p.bounces == 0 && p.specularEvents == 0)
                        passCutAway(tree, sheets, p.ray, rays, scene.recordedRays,
                                    [&](const Ray& r) { return cameraFootprint(p, r); });
                    else
                        passCutAway(tree, sheets, p.ray, rays, scene.recordedRays);
                    shade(p);
                    any = any || p.alive;
                }
            traceShadowRays();
            if (!any)
                break;
            traceExtensionRays();
        }
        for (const PathState& p : paths) {
            double* out = sum + size_t(p.pixel) * 3;
            // A path that went wrong numerically is dropped rather than allowed to spoil the pixel.
            if (std::isfinite(p.radiance.x) && std::isfinite(p.radiance.y) && std::isfinite(p.radiance.z)) {
                out[0] += p.radiance.x;
                out[1] += p.radiance.y;
                out[2] += p.radiance.z;
                if (sampleIndex % 2 == 1) {
                    double* odd = oddSum + size_t(p.pixel) * 3;
                    odd[0] += p.radiance.x;
                    odd[1] += p.radiance.y;
                    odd[2] += p.radiance.z;
                }
            }
        }
    }

    uint64_t rays = 0;

private:
    // Rays of neighbouring pixels in consecutive groups, walked as packets.
    void tracePackets(Ray* batchRays, size_t count)
    {
        for (size_t first = 0; first < count; first += kMaxPacketRays)
            traversePacket(tree, batchRays + first, unsigned(std::min<size_t>(kMaxPacketRays, count - first)));
        meetSheets(sheets, batchRays, count);
    }

    void traceCameraRays()
    {
        batch.clear();
        for (const PathState& p : paths)
            batch.push_back(p.ray);
        recordRays(scene.recordedRays, batch.data(), batch.size());
        tracePackets(batch.data(), batch.size());
        for (size_t i = 0; i < batch.size(); ++i)
            paths[i].ray = batch[i];
        rays += batch.size();
    }

    void traceExtensionRays()
    {
        batch.clear();
        owners.clear();
        for (size_t i = 0; i < paths.size(); ++i)
            if (paths[i].alive) {
                batch.push_back(paths[i].ray);
                owners.push_back(uint32_t(i));
            }
        recordRays(scene.recordedRays, batch.data(), batch.size());
        traverseStream(tree, batch.data(), batch.size());
        meetSheets(sheets, batch.data(), batch.size());
        rays += batch.size();
        for (size_t i = 0; i < batch.size(); ++i)
            paths[owners[i]].ray = batch[i];
    }

    // The rays towards the sun run nearly parallel from neighbouring pixels' surfaces and walk
    // best as packets; the sky's scatter over the sphere and walk best as a stream.
    void traceShadowRays()
    {
        traceShadowList(sunRays, true);
        traceShadowList(skyRays, false);
    }

    void traceShadowList(const std::vector<ShadowRay>& list, bool coherent)
    {
        batch.clear();
        for (const ShadowRay& s : list)
            batch.push_back(s.ray);
        recordRays(scene.recordedRays, batch.data(), batch.size());
        if (coherent)
            tracePackets(batch.data(), batch.size());
        else
            traverseStream(tree, batch.data(), batch.size());
        meetSheets(sheets, batch.data(), batch.size());
        rays += batch.size();
        for (size_t i = 0; i < batch.size(); ++i) {
            const ShadowRay& shadow = list[i];
            float crossings = 0.0f;
            const Float3 transmitted = passToLight(tree, sheets, batch[i], rays, scene.recordedRays, kRayNoHit,
                                                   paneCounter(shadow.bsdfAreaPdf > 0.0f, crossings));
            float weight = 1.0f;
            if (shadow.bsdfAreaPdf > 0.0f)
                weight = powerHeuristic(shadow.bsdfAreaPdf, shadow.sunFacing * crossings);
            PathState& p = paths[shadow.path];
            p.radiance = p.radiance + multiply(shadow.contribution, transmitted) * weight;
        }
    }

    ShadowRay* addShadowRay(std::vector<ShadowRay>& list, const PathState& p, const Shading& s, Float3 direction,
                            Float3 contribution)
    {
        if (isBlack(contribution))
            return nullptr;
        ShadowRay shadow;
        shadow.ray = rayFrom(leaveSurface(s.position, s.geometric, direction), direction);
        shadow.contribution = contribution;
        shadow.path = uint32_t(&p - paths.data());
        list.push_back(shadow);
        return &list.back();
    }

    // Sums, for a ray towards the sun, what each portal pane it crosses adds to the density of
    // its start point (portalCrossingDensity); nothing when not wanted.
    std::function<void(const Ray&)> paneCounter(bool wanted, float& sum) const
    {
        if (!wanted || portals.empty())
            return {};
        return [this, &sum](const Ray& r) {
            // Sheets live in a list of their own; only the tree's triangles can be panes.
            if (hitsSheet(r))
                return;
            const int32_t pane = portals.paneOf[size_t(r.hitTriangle - geometry.triangles.data())];
            if (pane >= 0)
                sum += portalCrossingDensity(portals, uint32_t(pane), directionOf(r));
        };
    }

    // The density of the path's next direction from the vertex being shaded: its reflectance's
    // sampling and, for aimShare of the paths, the panes'.
    float continuationPdf(const Shading& s, Float3 toViewer, Float3 l) const
    {
        const float own = bsdfPdf(s, toViewer, l);
        return aimShare > 0.0f ? (1.0f - aimShare) * own + aimShare * aim.pdf(l) : own;
    }

    // Whether the sun's patches are sampled through the panes from this vertex: only in a room
    // (where it aims at panes), and where the path's own next ray is certain to be shaded (neither
    // the last bounce nor Russian roulette's), so that the two ways of reaching a patch know each
    // other's densities exactly.
    bool samplesPortalsAt(const PathState& p) const
    {
        return !portals.empty() && aimShare > 0.0f && p.bounces < kRouletteStart && p.bounces < scene.maxBounces;
    }

    // The sun's light on a surface the sun reaches through a pane, gathered by this vertex: a point
    // on a pane, the sun's beam through it into the room, and the surface that beam lands on,
    // joined to this vertex. Weighted against the path's own way there (its next ray, then the
    // sun's direct estimate at that hit) by the power heuristic.
    void sampleSunPortal(PathState& p, const Shading& s, Float3 toViewer)
    {
        const Float3 l = sampleCone(sky.towardSun, sky.sunCosRadius, p.random.uniform(), p.random.uniform());
        const float u0 = p.random.uniform(), u1 = p.random.uniform(), u2 = p.random.uniform();
        const PortalPoint entry = samplePortalPoint(portals, u0, u1, u2);
        Ray beam = rayFrom(leaveSurface(entry.position, portals.normal(entry.pane), -l), -l);
        recordRays(scene.recordedRays, &beam, 1);
        traverse(tree, beam);
        ++rays;
        // On through further panes (a window's second sheet of glass) and cut-away texels, as the
        // ray back towards the sun passes them.
        for (int skip = 0; skip < kMaxAlphaSkips && hasHit(beam) &&
                           (surfaceTransmits(beam.hitTriangle->surface) || cutAway(geometry, beam, {}));
             ++skip) {
            beam = rayPastHit(beam);
            recordRays(scene.recordedRays, &beam, 1);
            traverse(tree, beam);
            ++rays;
        }
        Shading lit;
        if (!hasHit(beam) || !prepareShading(geometry, beam, {}, lit) || !portalTarget(lit))
            return;
        const Float3 toVertex = s.position - lit.position;
        const float distanceSquared = dot(toVertex, toVertex);
        if (!(distanceSquared > 0.0f) || dot(lit.geometric, toVertex) <= 0.0f)
            return;
        const Float3 across = toVertex * (-1.0f / std::sqrt(distanceSquared));  // from this vertex to the patch
        const float cosineThere = std::fabs(dot(lit.geometric, across));
        const Float3 here = multiply(p.throughput, evaluateBsdf(s, toViewer, across)) * cosineTo(s, across);
        const Float3 there = multiply(evaluateBsdf(lit, -across, l), sky.sunIrradiance) * cosineTo(lit, l);
        const Float3 unblocked = multiply(here, there) * (cosineThere / distanceSquared);
        if (isBlack(unblocked) || !(cosineTo(s, across) > 0.0f))
            return;

        Ray sun = rayFrom(leaveSurface(lit.position, lit.geometric, l), l);
        recordRays(scene.recordedRays, &sun, 1);
        traverse(tree, sun);
        meetSheets(sheets, &sun, 1);
        ++rays;
        float crossings = 0.0f;
        const Float3 sunPassed = passToLight(tree, sheets, sun, rays, scene.recordedRays, kRayNoHit,
                                             paneCounter(true, crossings));
        const float portalPdf = std::fabs(dot(lit.geometric, l)) * crossings;
        if (isBlack(sunPassed) || !(portalPdf > 0.0f))
            return;

        const Float3 start = leaveSurface(s.position, s.geometric, across);
        Ray join = rayFrom(start, across);
        recordRays(scene.recordedRays, &join, 1);
        traverse(tree, join);
        meetSheets(sheets, &join, 1);
        ++rays;
        // What lies within a hair of the patch is the patch's own surface, not a blocker.
        const float reach = length(lit.position - start) * (1.0f - kJoinSlack);
        const Float3 joined = passToLight(tree, sheets, join, rays, scene.recordedRays, reach);
        if (isBlack(joined))
            return;
        const float bsdfAreaPdf = continuationPdf(s, toViewer, across) * cosineThere / distanceSquared;
        const float weight = powerHeuristic(portalPdf, bsdfAreaPdf);
        p.radiance = p.radiance + multiply(multiply(unblocked, sunPassed), joined) * (weight / portalPdf);
    }

    TexCoordFootprint cameraFootprint(const PathState& p, const Ray& ray) const
    {
        return primaryFootprint(geometry, camera, ray, (float(p.pixel % width) + p.jitterX) / float(width),
                                (float(p.pixel / width) + p.jitterY) / float(height), 1.0f / float(width),
                                1.0f / float(height));
    }

    // What the path's ray found: sky on a miss, otherwise light gathered at the hit and the next ray.
    void shade(PathState& p)
    {
        passUncoveredSheets(p);
        const Float3 d = directionOf(p.ray);
        if (!hasHit(p.ray)) {
            Float3 light = skyRadianceIn(sky, d);
            if (p.lastSpecular)
                light = light + sunRadianceIn(sky, d);
            else
                light = light * powerHeuristic(p.lastPdf, skyDirectionPdf(sky, d));
            p.radiance = p.radiance + multiply(p.throughput, light);
            p.alive = false;
            return;
        }
        TexCoordFootprint footprint;
        if (p.bounces == 0 && p.specularEvents == 0)
            footprint = cameraFootprint(p, p.ray);
        Shading s;
        if (p.terminal || !prepareShading(geometry, p.ray, footprint, s)) {
            p.alive = false;
            return;
        }
        const Float3 toViewer = -d;
        if (specularEvent(p, s, d))
            return;
        aimShare = 0.0f;
        if (!windows.empty()) {
            aim.prepare(windows, s.position, s.geometric, s.translucent);
            aimShare = aim.empty() ? 0.0f : kWindowShare;
        }

        // Light arriving straight from the sun disc and from the sky.
        if (!isBlack(sky.sunIrradiance)) {
            const Float3 l = sampleCone(sky.towardSun, sky.sunCosRadius, p.random.uniform(), p.random.uniform());
            const Float3 f = evaluateBsdf(s, toViewer, l);
            ShadowRay* shadow = addShadowRay(sunRays, p, s, l,
                                             multiply(p.throughput, multiply(f, sky.sunIrradiance)) * cosineTo(s, l));
            // The panes could have led here too: share this light with sampleSunPortal.
            if (shadow && p.portalBefore && !p.lastSpecular && portalTarget(s)) {
                const Float3 fromBefore = s.position - p.previousPosition;
                const float distanceSquared = dot(fromBefore, fromBefore);
                if (distanceSquared > 0.0f) {
                    shadow->bsdfAreaPdf = p.lastPdf * std::fabs(dot(s.geometric, d)) / distanceSquared;
                    shadow->sunFacing = std::fabs(dot(s.geometric, l));
                }
            }
        }
        const bool portalsHere = samplesPortalsAt(p);
        if (portalsHere)
            sampleSunPortal(p, s, toViewer);
        {
            float skyPdf = 0.0f;
            const Float3 l = sampleSkyDirection(sky, p.random.uniform(), p.random.uniform(), skyPdf);
            const Float3 f = evaluateBsdf(s, toViewer, l);
            if (skyPdf > 0.0f && !isBlack(f)) {
                const float weight = powerHeuristic(skyPdf, continuationPdf(s, toViewer, l));
                const Float3 light = skyRadianceIn(sky, l) * (cosineTo(s, l) * weight / skyPdf);
                addShadowRay(skyRays, p, s, l, multiply(p.throughput, multiply(f, light)));
            }
        }

        // The next ray. At the last bounce it still goes out, only to find the sky its direction
        // sees (the other half of the sky estimate), and its hit is not shaded.
        if (p.bounces >= kRouletteStart) {
            // Paths carrying full weight always go on (the bounce limit ends them), so that a
            // surface of albedo one adds no noise of its own.
            const float survival = std::min(1.0f, largestOf(p.throughput));
            if (!(p.random.uniform() < survival)) {
                p.alive = false;
                return;
            }
            p.throughput = p.throughput / survival;
        }
        Float3 l;
        if (aimShare > 0.0f && p.random.uniform() < aimShare)
            l = aim.sample(p.random.uniform(), p.random.uniform(), p.random.uniform());
        else
            l = sampleBsdf(s, toViewer, p.random);
        const float pdf = continuationPdf(s, toViewer, l);
        const Float3 f = evaluateBsdf(s, toViewer, l);
        if (!(pdf > 0.0f) || isBlack(f)) {
            p.alive = false;
            return;
        }
        p.throughput = multiply(p.throughput, f) * (cosineTo(s, l) / pdf);
        p.lastPdf = pdf;
        p.lastSpecular = false;
        p.portalBefore = portalsHere;
        p.previousPosition = s.position;
        p.terminal = p.bounces >= scene.maxBounces;
        ++p.bounces;
        p.ray = rayFrom(leaveSurface(s.position, s.geometric, l), l);
    }

    // A sheet meets the path where its colour image covers it, by the coverage's probability; where
    // it does not, the path goes on through it unchanged.
    void passUncoveredSheets(PathState& p)
    {
        for (int skip = 0; skip < kMaxAlphaSkips && hasHit(p.ray) && hitsSheet(p.ray); ++skip) {
            const bool fromCamera = p.bounces == 0 && p.specularEvents == 0;
            const TexCoordFootprint footprint = fromCamera ? cameraFootprint(p, p.ray) : TexCoordFootprint{};
            if (p.random.uniform() < hitAlpha(geometry, p.ray, footprint, ImageFilter::AsGpu))
                return;
            continuePast(tree, sheets, p.ray, rays, scene.recordedRays);
            passCutAway(tree, sheets, p.ray, rays, scene.recordedRays);
        }
    }

    // The material's optics: with the Fresnel probability the ray is mirrored, otherwise it passes
    // through glass or water when the surface transmits light. Returns false for the rest of the
    // light, which the surface's own terms reflect.
    bool specularEvent(PathState& p, const Shading& s, Float3 d)
    {
        const RtSurface* surface = s.surface;
        if (!surface || !surface->hasMirrorPass || p.specularEvents >= kMaxSpecularEvents)
            return false;
        const MaterialOptics& optics = surface->optics;
        const bool transmits = optics.transmits();
        if (!(optics.reflectance > 0.0f) && !transmits)
            return false;
        const Float3 n = s.smoothNormal;
        const float fresnel = schlickReflectance(optics.reflectance, -dot(d, n));
        Float3 next;
        bool throughSurface = false;
        if (p.random.uniform() < fresnel) {
            next = reflectAbout(d, n);
            p.throughput = multiply(p.throughput, optics.reflectionTint);
        } else if (transmits) {
            throughSurface = transmittedDirection(optics, d, n, s.entering, next);
            if (!throughSurface)
                next = reflectAbout(d, n);
            p.throughput = multiply(p.throughput, optics.transmissionColor);
        } else {
            return false;
        }
        ++p.specularEvents;
        // Light through a pane or a water surface is what the shadow rays towards the sun and the
        // sky see too (passToLight), so the path keeps the estimate it had before the surface: the
        // sun is not counted again and the sky keeps its multiple-importance weight.
        if (!throughSurface)
            p.lastSpecular = true;
        p.ray = rayFrom(leaveSurface(s.position, s.geometric, next), next);
        return true;
    }

    const ReferenceScene& scene;
    const KdTree& tree;
    const RayTracingGeometry& geometry;
    const ThinSheets& sheets;
    const SunPortals& portals;
    const WindowPanes& windows;
    // The panes as seen from the vertex being shaded (prepared in shade).
    WindowDirections aim;
    float aimShare = 0.0f;
    const SkyEnvironment& sky;
    const Camera& camera;
    uint32_t width, height;
    std::vector<PathState> paths;
    std::vector<ShadowRay> sunRays;
    std::vector<ShadowRay> skyRays;
    std::vector<Ray> batch;
    std::vector<uint32_t> owners;
};

void runJobs(RayWorkerPool* pool, uint32_t count, const std::function<void(uint32_t)>& job)
{
    if (pool) {
        pool->run(count, job);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        job(i);
}

bool usable(const ReferenceScene& scene)
{
    return scene.tree && scene.tree->geometry && scene.sky;
}

}  // namespace

KdTree twoSidedCopy(const KdTree& tree)
{
    KdTree copy = tree;
    for (CompactTriAccel& accel : copy.triangleAccels)
        accel.doubleSided = 1;
    return copy;
}

void ReferenceImage::reset(uint32_t w, uint32_t h)
{
    width = w;
    height = h;
    samples = 0;
    sum.assign(size_t(w) * h * 3, 0.0);
    oddSum.assign(size_t(w) * h * 3, 0.0);
}

std::vector<float> ReferenceImage::mean() const
{
    std::vector<float> out(sum.size(), 0.0f);
    if (samples == 0)
        return out;
    for (size_t i = 0; i < sum.size(); ++i)
        out[i] = float(sum[i] / samples);
    return out;
}

std::vector<float> ReferenceImage::halfMean(int half) const
{
    std::vector<float> out(sum.size(), 0.0f);
    const uint32_t odd = samples / 2, even = samples - odd;
    const uint32_t count = half == 0 ? even : odd;
    if (count == 0)
        return out;
    for (size_t i = 0; i < sum.size(); ++i)
        out[i] = float((half == 0 ? sum[i] - oddSum[i] : oddSum[i]) / count);
    return out;
}

ReferenceStats traceReferenceSamples(const ReferenceScene& scene, const Camera& camera, ReferenceImage& image,
                                     uint32_t samples, RayWorkerPool* pool)
{
    ReferenceStats stats;
    if (!usable(scene) || image.width == 0 || image.height == 0 ||
        image.sum.size() != size_t(image.width) * image.height * 3 || image.oddSum.size() != image.sum.size())
        return stats;
    const uint32_t tilesX = (image.width + kTileSize - 1) / kTileSize;
    const uint32_t tilesY = (image.height + kTileSize - 1) / kTileSize;
    std::atomic<uint64_t> rays{0};
    const ThinSheets sheets = prepareThinSheets(*scene.tree->geometry);
    const WindowPanes windows = scene.portals ? prepareWindowPanes(*scene.tree) : WindowPanes{};
    const SunPortals portals = scene.portals ? prepareSunPortals(*scene.tree, sheets, *scene.sky, windows)
                                             : SunPortals{};
    runJobs(pool, tilesX * tilesY, [&](uint32_t tile) {
        TileIntegrator integrator(scene, sheets, portals, windows, camera, image.width, image.height);
        const std::vector<uint32_t> pixels = tilePixels(image, (tile % tilesX) * kTileSize,
                                                        (tile / tilesX) * kTileSize);
        for (uint32_t s = 0; s < samples; ++s)
            integrator.tracePaths(pixels, uint64_t(image.samples) + s, image.sum.data(), image.oddSum.data());
        rays += integrator.rays;
    });
    image.samples += samples;
    stats.rays = rays;
    return stats;
}

void traceFirstHits(const ReferenceScene& scene, const Camera& camera, uint32_t width, uint32_t height,
                    std::vector<float>& albedo, std::vector<float>& normal, RayWorkerPool* pool)
{
    albedo.assign(size_t(width) * height * 3, 0.0f);
    normal.assign(size_t(width) * height * 3, 0.0f);
    if (!usable(scene))
        return;
    runJobs(pool, height, [&](uint32_t y) {
        uint64_t rays = 0;
        for (uint32_t x = 0; x < width; ++x) {
            const float u = (float(x) + 0.5f) / float(width), v = (float(y) + 0.5f) / float(height);
            Ray ray = rayFrom(camera.position, cameraDirection(camera, u, v));
            traverse(*scene.tree, ray);
            const float du = 1.0f / float(width), dv = 1.0f / float(height);
            passCutAway(*scene.tree, ThinSheets{}, ray, rays, nullptr,
                        [&](const Ray& r) { return primaryFootprint(*scene.tree->geometry, camera, r, u, v, du, dv); });
            Shading s;
            if (!hasHit(ray))
                continue;
            const TexCoordFootprint f = primaryFootprint(*scene.tree->geometry, camera, ray, u, v, 1.0f / float(width),
                                                         1.0f / float(height));
            if (!prepareShading(*scene.tree->geometry, ray, f, s))
                continue;
            const size_t i = (size_t(y) * width + x) * 3;
            albedo[i] = s.albedo.x, albedo[i + 1] = s.albedo.y, albedo[i + 2] = s.albedo.z;
            normal[i] = s.shading.x, normal[i + 1] = s.shading.y, normal[i + 2] = s.shading.z;
        }
    });
}

}  // namespace Orvanta
