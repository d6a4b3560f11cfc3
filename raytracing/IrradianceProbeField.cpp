#include "raytracing/IrradianceProbeField.h"

#include "gpu/SubmeshMaterial.h"
#include "raytracing/HitSurface.h"
#include "raytracing/KdTraversal.h"
#include "raytracing/OctahedralMap.h"
#include "raytracing/Optics.h"
#include "raytracing/PathSampling.h"
#include "raytracing/RayWorkerPool.h"
#include "raytracing/SurfacePassing.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace Orvanta {

namespace {

// Rays per probe and update. Each irradiance texel gathers about a quarter of them (its cosine
// lobe), 32 samples of a smooth function; fewer leave visible noise at the low hysteresis after a
// restart, more cost in proportion.
constexpr int kRaysPerProbe = 128;
// The probes around the camera updated more often: those within this many cells of the grid's
// centre along each axis (7 x 7 x 7 at most), the room the camera stands in and its neighbours.
constexpr int kNearCells = 3;
// The blend weight of the stored maps once a probe has many updates behind it: high enough that
// a probe's new noise moves a still frame by well under one 8-bit step, low enough that a probe
// follows a change the restart did not catch (a door) within a few dozen updates.
constexpr float kSteadyHysteresis = 0.93f;
// Updates since the restart at which the hysteresis reaches half: blended / (blended + ramp), so
// the first update after the light changed replaces the maps and the old light is gone after a
// handful of updates, before the hysteresis settles at its steady value.
constexpr float kHysteresisRamp = 4.0f;
// Exponent of the cosine that spreads a ray's distance over the moment texels around it: sharp,
// so that a wall's edge stays an edge in the visibility test.
constexpr float kDistanceSharpness = 50.0f;
// Rays further from a moment texel than this weigh under 1e-4 of one on it and are passed over.
constexpr float kDistanceLobeCosine = 0.83f;
// Distances are stored up to this many cells: beyond the cell diagonal (1.73) no point of the
// probe's cells is tested, so farther surfaces need no precision.
constexpr float kMaxDistanceCells = 2.0f;
// A probe that sees the back of surfaces along this share of its rays is inside geometry.
constexpr float kInsideBackfaceShare = 0.25f;
// How far a probe may be moved from its grid point, in cells per axis: under half a cell, so that
// a probe stays nearer its own point than its neighbours'.
constexpr float kMaxOffsetCells = 0.45f;
// A probe nearer than this to a surface (in cells) is pushed away from it, so that its distance
// maps do not put the surface behind points just in front of it.
constexpr float kMinSurfaceDistanceCells = 0.1f;
// Attempts at moving a probe out of geometry before it is switched off.
constexpr int kMaxRelocations = 3;
// Backface hits shorten the stored distance: the probe sees a wall from inside.
constexpr float kBackfaceDistanceScale = 0.2f;

uint64_t mix(uint64_t a, uint64_t b)
{
    uint64_t x = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull + (a << 6) + (a >> 2));
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    return x ^ (x >> 29);
}

// A rotation drawn uniformly (Shoemake's method), applied to the fixed ray set so that successive
// updates see different directions.
Quaternion randomRotation(SampleGenerator& random)
{
    const float u1 = random.uniform(), u2 = random.uniform(), u3 = random.uniform();
    const float a = std::sqrt(1.0f - u1), b = std::sqrt(u1);
    const float t1 = 2.0f * EnginePi * u2, t2 = 2.0f * EnginePi * u3;
    return {a * std::sin(t1), a * std::cos(t1), b * std::sin(t2), b * std::cos(t2)};
}

// Spherical Fibonacci points: nearly even over the sphere for any count.
Float3 fibonacciDirection(int i, int count)
{
    const float goldenAngle = 2.3999632f;
    const float z = 1.0f - (2.0f * float(i) + 1.0f) / float(count);
    const float r = std::sqrt(std::max(0.0f, 1.0f - z * z));
    const float phi = goldenAngle * float(i);
    return {r * std::cos(phi), r * std::sin(phi), z};
}

Ray rayFrom(Float3 origin, Float3 direction)
{
    const float o[3] = {origin.x, origin.y, origin.z};
    const float d[3] = {direction.x, direction.y, direction.z};
    return makeRay(o, d);
}

float clampf(float v, float lo, float hi)
{
    return std::min(std::max(v, lo), hi);
}

using Moments = DistanceMoments;
Moments operator*(Moments a, float s)
{
    return {a.mean * s, a.meanSquare * s};
}
Moments operator+(Moments a, Moments b)
{
    return {a.mean + b.mean, a.meanSquare + b.meanSquare};
}

// Bilinear read of a bordered tile of n x n interior texels at a direction, `channels` floats per
// texel.
template <typename T>
T sampleTile(const T* tile, int n, Float3 direction)
{
    float u, v;
    octahedralCoordinates(direction, u, v);
    const int m = n + 2;
    const float x = 1.0f + u * float(n) - 0.5f;
    const float y = 1.0f + v * float(n) - 0.5f;
    const int x0 = std::clamp(int(std::floor(x)), 0, m - 2);
    const int y0 = std::clamp(int(std::floor(y)), 0, m - 2);
    const float fx = clampf(x - float(x0), 0.0f, 1.0f), fy = clampf(y - float(y0), 0.0f, 1.0f);
    const T& a = tile[y0 * m + x0];
    const T& b = tile[y0 * m + x0 + 1];
    const T& c = tile[(y0 + 1) * m + x0];
    const T& d = tile[(y0 + 1) * m + x0 + 1];
    return (a * (1.0f - fx) + b * fx) * (1.0f - fy) + (c * (1.0f - fx) + d * fx) * fy;
}

// Fills a bordered tile's border from its interior.
template <typename T>
void fillBorder(T* tile, int n)
{
    const int m = n + 2;
    for (int y = 0; y < m; ++y)
        for (int x = 0; x < m; ++x) {
            if (x > 0 && y > 0 && x < m - 1 && y < m - 1)
                continue;
            int sx, sy;
            octahedralBorderSource(n, x, y, sx, sy);
            tile[y * m + x] = tile[sy * m + sx];
        }
}

}  // namespace

namespace {

// The directions of an n x n octahedral map's texel centres, as three arrays, so that the loops
// over a map's texels below run several texels at once. Made once.
template <int n>
struct TexelDirections {
    float x[n * n], y[n * n], z[n * n];

    TexelDirections()
    {
        for (int t = 0; t < n * n; ++t) {
            const Float3 d = octahedralDirection((float(t % n) + 0.5f) / float(n), (float(t / n) + 0.5f) / float(n));
            x[t] = d.x, y[t] = d.y, z[t] = d.z;
        }
    }

    // The cosine between every texel's direction and the unit direction d.
    void cosines(Float3 d, float* out) const
    {
        for (int t = 0; t < n * n; ++t)
            out[t] = x[t] * d.x + y[t] * d.y + z[t] * d.z;
    }
};

template <int n>
const TexelDirections<n>& texelDirections()
{
    static const TexelDirections<n> table;
    return table;
}

}  // namespace

struct IrradianceProbeField::Result {
    Float3 irradiance[irradianceTexels * irradianceTexels];
    Moments moments[distanceTexels * distanceTexels];
    bool inside = false;
    Float3 move;  // relocation, world units
    uint64_t rays = 0;
};

Float3 sampleIrradianceTile(const Float3* tile, Float3 normal)
{
    return sampleTile(tile, IrradianceProbeField::irradianceTexels, normal);
}

IrradianceProbeField::IrradianceProbeField(const Layout& layout) : grid(layout)
{
    grid.countX = std::max(grid.countX, 2);
    grid.countY = std::max(grid.countY, 2);
    grid.countZ = std::max(grid.countZ, 2);
    const size_t n = size_t(probeCount());
    probes.assign(n, Probe{});
    irradiance.assign(n * irradianceTile * irradianceTile, Float3{});
    moments.assign(n * distanceTile * distanceTile, DistanceMoments{});
}

Float3 IrradianceProbeField::origin() const
{
    return {float(baseX) * grid.spacing, float(baseY) * grid.spacing, float(baseZ) * grid.spacing};
}

Float3 IrradianceProbeField::gridPoint(int index) const
{
    const int x = index % grid.countX;
    const int y = (index / grid.countX) % grid.countY;
    const int z = index / (grid.countX * grid.countY);
    return origin() + Float3{float(x), float(y), float(z)} * grid.spacing;
}

Float3 IrradianceProbeField::probePosition(int index) const
{
    return gridPoint(index) + probes[size_t(index)].offset;
}

int IrradianceProbeField::freshProbes() const
{
    return int(
        std::count_if(probes.begin(), probes.end(), [](const Probe& p) { return p.state == ProbeState::Fresh; }));
}

bool IrradianceProbeField::follow(Float3 point)
{
    const int nx = int(std::lround(point.x / grid.spacing)) - grid.countX / 2;
    const int ny = int(std::lround(point.y / grid.spacing)) - grid.countY / 2;
    const int nz = int(std::lround(point.z / grid.spacing)) - grid.countZ / 2;
    if (nx == baseX && ny == baseY && nz == baseZ && changes > 0)
        return false;
    const std::vector<Probe> oldProbes = probes;
    const std::vector<Float3> oldIrradiance = irradiance;
    const std::vector<DistanceMoments> oldMoments = moments;
    const size_t it = irradianceTile * irradianceTile, dt = distanceTile * distanceTile;
    for (int z = 0; z < grid.countZ; ++z)
        for (int y = 0; y < grid.countY; ++y)
            for (int x = 0; x < grid.countX; ++x) {
                const int to = probeIndex(x, y, z);
                const int ox = x + nx - baseX, oy = y + ny - baseY, oz = z + nz - baseZ;
                const bool kept = ox >= 0 && oy >= 0 && oz >= 0 && ox < grid.countX && oy < grid.countY &&
                                  oz < grid.countZ && changes > 0;
                if (!kept) {
                    probes[size_t(to)] = Probe{};
                    std::fill_n(irradiance.begin() + std::ptrdiff_t(to * it), it, Float3{});
                    std::fill_n(moments.begin() + std::ptrdiff_t(to * dt), dt, DistanceMoments{});
                    continue;
                }
                const int from = probeIndex(ox, oy, oz);
                probes[size_t(to)] = oldProbes[size_t(from)];
                std::copy_n(oldIrradiance.begin() + std::ptrdiff_t(from * it), it,
                            irradiance.begin() + std::ptrdiff_t(to * it));
                std::copy_n(oldMoments.begin() + std::ptrdiff_t(from * dt), dt,
                            moments.begin() + std::ptrdiff_t(to * dt));
            }
    baseX = nx, baseY = ny, baseZ = nz;
    ++changes;
    allChanged = true;
    return true;
}

bool IrradianceProbeField::takeChanges(std::vector<int>& out)
{
    const bool all = allChanged;
    out.clear();
    if (!all) {
        std::sort(changedProbes.begin(), changedProbes.end());
        changedProbes.erase(std::unique(changedProbes.begin(), changedProbes.end()), changedProbes.end());
        out.swap(changedProbes);
    }
    changedProbes.clear();
    allChanged = false;
    return all;
}

void IrradianceProbeField::restart()
{
    for (Probe& p : probes)
        p.blended = 0;
}

namespace {

// The side of the block of probes around the grid's centre along an axis of `count` probes.
int nearSide(int count)
{
    return std::min(2 * kNearCells + 1, count);
}

}  // namespace

int IrradianceProbeField::nearProbeCount() const
{
    return nearSide(grid.countX) * nearSide(grid.countY) * nearSide(grid.countZ);
}

int IrradianceProbeField::nearProbe(int k) const
{
    const int sx = nearSide(grid.countX), sy = nearSide(grid.countY), sz = nearSide(grid.countZ);
    return probeIndex(k % sx + (grid.countX - sx) / 2, (k / sx) % sy + (grid.countY - sy) / 2,
                      k / (sx * sy) + (grid.countZ - sz) / 2);
}

std::vector<int> IrradianceProbeField::chooseProbes(uint32_t budget)
{
    std::vector<int> chosen;
    const int n = probeCount();
    for (int i = 0; i < n && chosen.size() < budget; ++i)
        if (probes[size_t(i)].state == ProbeState::Fresh)
            chosen.push_back(i);
    // Probes inside geometry stay off: the scene does not move. Half of what is left goes to the
    // probes around the camera (the grid's centre), which light what the frame shows near by, so
    // that they follow a change of the light within a few dozen frames even on a small budget;
    // the other half goes round the whole grid.
    const size_t nearBudget = chosen.size() + (budget - chosen.size() + 1) / 2;
    const int nearCount = nearProbeCount();
    for (int step = 0; step < nearCount && chosen.size() < nearBudget; ++step) {
        const int i = nearProbe(nearCursor);
        nearCursor = (nearCursor + 1) % nearCount;
        if (probes[size_t(i)].state == ProbeState::Active)
            chosen.push_back(i);
    }
    for (int step = 0; step < n && chosen.size() < budget; ++step) {
        const int i = cursor;
        cursor = (cursor + 1) % n;
        if (probes[size_t(i)].state == ProbeState::Active && std::find(chosen.begin(), chosen.end(), i) == chosen.end())
            chosen.push_back(i);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

void IrradianceProbeField::traceProbe(const Scene& scene, int index, uint64_t seed, Result& result) const
{
    const KdTree& tree = *scene.tree;
    const SkyEnvironment& sky = *scene.sky;
    // The frame's blended sheets (the canopy's glass) are not in the tree; the probes see through
    // them as the frame's sky lighting does.
    static const ThinSheets noSheets;
    const Float3 origin = probePosition(index);
    SampleGenerator random(uint64_t(index), seed);
    const Quaternion rotation = randomRotation(random);

    Ray rays[kRaysPerProbe];
    Float3 directions[kRaysPerProbe];
    for (int i = 0; i < kRaysPerProbe; ++i) {
        directions[i] = rotate(rotation, fibonacciDirection(i, kRaysPerProbe));
        rays[i] = rayFrom(origin, directions[i]);
    }
    traverseStream(tree, rays, kRaysPerProbe);
    result.rays += kRaysPerProbe;

    Float3 radiance[kRaysPerProbe];
    float distance[kRaysPerProbe];
    Float3 hitPosition[kRaysPerProbe];
    Float3 hitGeometric[kRaysPerProbe];
    Float3 hitShading[kRaysPerProbe];
    Float3 throughput[kRaysPerProbe];
    bool lit[kRaysPerProbe];
    const float maxDistance = kMaxDistanceCells * grid.spacing;
    int backfaces = 0;
    float nearestBack = kRayNoHit, nearestFront = kRayNoHit;
    Float3 nearestBackDirection, nearestFrontDirection;
    for (int i = 0; i < kRaysPerProbe; ++i) {
        Ray& ray = rays[i];
        const Float3 d = directions[i];
        // Light passes panes (tinted by what their reflectance leaves) and cut-away leaves.
        throughput[i] = Float3{1.0f, 1.0f, 1.0f};
        for (int skip = 0; skip < kMaxAlphaSkips && hasHit(ray); ++skip) {
            const RtSurface* surface = ray.hitTriangle->surface;
            if (surfaceTransmits(surface)) {
                const float cosine = std::fabs(dot(faceNormal(ray), d));
                const float pass = 1.0f - schlickReflectance(surface->optics.reflectance, cosine);
                throughput[i] = multiplyComponents(throughput[i], surface->optics.transmissionColor) * pass;
            } else if (!cutAway(*tree.geometry, ray, {})) {
                break;
            }
            continuePast(tree, noSheets, ray, result.rays, nullptr);
        }
        lit[i] = false;
        radiance[i] = Float3{};
        if (!hasHit(ray)) {
            radiance[i] = multiplyComponents(throughput[i], skyRadianceIn(sky, d));
            distance[i] = maxDistance;
            continue;
        }
        const Float3 face = faceNormal(ray);
        const bool back = dot(face, d) > 0.0f;
        const RtSurface* surface = ray.hitTriangle->surface;
        if (back && !(surface && surface->doubleSided)) {
            ++backfaces;
            distance[i] = std::min(ray.tHit * kBackfaceDistanceScale, maxDistance);
            if (ray.tHit < nearestBack) {
                nearestBack = ray.tHit;
                nearestBackDirection = d;
            }
            continue;
        }
        distance[i] = std::min(ray.tHit, maxDistance);
        if (ray.tHit < nearestFront) {
            nearestFront = ray.tHit;
            nearestFrontDirection = d;
        }
        HitSurface hit;
        if (!hitSurface(*tree.geometry, ray, {}, hit))
            continue;
        const float facing = back ? -1.0f : 1.0f;
        Float3 n = hit.shadingNormal * facing;
        const Float3 ng = face * facing;
        if (!(dot(n, ng) > 0.0f))
            n = ng;
        const Float3 p = hitPoint(ray);
        // The specular lobe reflects its share too; over the sphere of directions a probe gathers
        // from, its light counts as the diffuse light's does (the reference tracer's model
        // reflects albedo plus the specular intensity in all).
        float specular = kDefaultSpecularIntensity;
        if (surface && surface->specularImage)
            specular = sampleWith(ImageFilter::NearestLevel, *surface->specularImage, hit.tu, hit.tv, {}).r;
        const float glossy = std::clamp(specular, 0.0f, 1.0f);
        const Float3 albedo{hit.color.r + glossy, hit.color.g + glossy, hit.color.b + glossy};
        // The light the hit passes on: the probes' irradiance there (every bounce before this one).
        const Float3 bounced = irradianceAt(p, n, -d);
        radiance[i] = multiplyComponents(throughput[i], albedo) * (1.0f / EnginePi);
        hitPosition[i] = p;
        hitGeometric[i] = ng;
        hitShading[i] = n;
        throughput[i] = radiance[i];  // albedo over pi, times what reached the hit
        radiance[i] = multiplyComponents(radiance[i], bounced);
        lit[i] = dot(n, sky.towardSun) > 0.0f && dot(ng, sky.towardSun) > 0.0f &&
                 (sky.sunIrradiance.x > 0.0f || sky.sunIrradiance.y > 0.0f || sky.sunIrradiance.z > 0.0f);
    }

    // The sun at the lit hits, through panes and leaves: the shadow rays run nearly parallel, so
    // they walk together as packets.
    Ray shadows[kRaysPerProbe];
    int shadowOwner[kRaysPerProbe];
    int shadowCount = 0;
    for (int i = 0; i < kRaysPerProbe; ++i) {
        if (!lit[i])
            continue;
        const float offset = surfaceOffsetDistance(hitPosition[i]);
        shadows[shadowCount] = rayFrom(hitPosition[i] + hitGeometric[i] * offset, sky.towardSun);
        shadowOwner[shadowCount++] = i;
    }
    for (int first = 0; first < shadowCount; first += int(kMaxPacketRays))
        traversePacket(tree, shadows + first, unsigned(std::min(shadowCount - first, int(kMaxPacketRays))));
    result.rays += uint64_t(shadowCount);
    for (int k = 0; k < shadowCount; ++k) {
        const int i = shadowOwner[k];
        const Float3 passed = passToLight(tree, noSheets, shadows[k], result.rays, nullptr);
        const Float3 sun = multiplyComponents(sky.sunIrradiance, passed) * dot(hitShading[i], sky.towardSun);
        radiance[i] = radiance[i] + multiplyComponents(throughput[i], sun);
    }

    result.inside = float(backfaces) > kInsideBackfaceShare * float(kRaysPerProbe);
    result.move = Float3{};
    if (result.inside) {
        // Out past the nearest back face: the side of the wall the probe is nearest to.
        result.move = nearestBackDirection * (nearestBack + kMinSurfaceDistanceCells * grid.spacing);
        return;
    }
    if (nearestFront < 0.5f * kMinSurfaceDistanceCells * grid.spacing)
        result.move = nearestFrontDirection * (nearestFront - kMinSurfaceDistanceCells * grid.spacing);

    // Every ray adds to every texel of both maps (the texels in the inner loops, each texel's sum
    // taken over the rays in order).
    constexpr int ni = irradianceTexels * irradianceTexels, nd = distanceTexels * distanceTexels;
    float cosines[nd];
    float red[ni] = {}, green[ni] = {}, blue[ni] = {}, cosineSum[ni] = {};
    float meanSum[nd] = {}, squareSum[nd] = {}, lobeSum[nd] = {};
    const TexelDirections<irradianceTexels>& irradianceDirections = texelDirections<irradianceTexels>();
    const TexelDirections<distanceTexels>& distanceDirections = texelDirections<distanceTexels>();
    for (int i = 0; i < kRaysPerProbe; ++i) {
        // Irradiance: the cosine-weighted mean radiance over the texel's hemisphere.
        irradianceDirections.cosines(directions[i], cosines);
        const Float3 r = radiance[i];
        for (int t = 0; t < ni; ++t) {
            const float c = cosines[t] > 0.0f ? cosines[t] : 0.0f;
            red[t] += r.x * c;
            green[t] += r.y * c;
            blue[t] += r.z * c;
            cosineSum[t] += c;
        }
        // Distance moments: a sharp lobe about the texel's direction.
        distanceDirections.cosines(directions[i], cosines);
        const float dist = distance[i];
        for (int t = 0; t < nd; ++t) {
            if (cosines[t] > kDistanceLobeCosine) {
                const float w = std::pow(cosines[t], kDistanceSharpness);
                meanSum[t] += dist * w;
                squareSum[t] += dist * dist * w;
                lobeSum[t] += w;
            }
        }
    }
    // The cosine-weighted mean radiance times pi: the irradiance, exact for uniform light.
    for (int t = 0; t < ni; ++t)
        result.irradiance[t] = cosineSum[t] > 0.0f ? Float3{red[t], green[t], blue[t]} * (EnginePi / cosineSum[t])
                                                   : Float3{};
    for (int t = 0; t < nd; ++t)
        result.moments[t] = lobeSum[t] > 0.0f ? Moments{meanSum[t], squareSum[t]} * (1.0f / lobeSum[t])
                                              : Moments{maxDistance, maxDistance * maxDistance};
}

void IrradianceProbeField::applyResult(int index, const Result& result)
{
    Probe& probe = probes[size_t(index)];
    changedProbes.push_back(index);
    const float reach = kMaxOffsetCells * grid.spacing;
    auto within = [&](Float3 offset) {
        return std::fabs(offset.x) <= reach && std::fabs(offset.y) <= reach && std::fabs(offset.z) <= reach;
    };
    if (result.inside) {
        const Float3 moved = probe.offset + result.move;
        ++probe.relocations;
        if (within(moved) && probe.relocations <= kMaxRelocations) {
            probe.offset = moved;
            probe.state = ProbeState::Fresh;
        } else {
            probe.state = ProbeState::Off;
        }
        probe.blended = 0;
        ++changes;
        return;
    }
    const Float3 pushed = probe.offset + result.move;
    if (within(pushed))
        probe.offset = pushed;

    const float hysteresis = std::min(kSteadyHysteresis,
                                      float(probe.blended) / (float(probe.blended) + kHysteresisRamp));
    const float fresh = 1.0f - hysteresis;
    const int ni = irradianceTexels, nd = distanceTexels;
    Float3* tile = irradiance.data() + size_t(index) * irradianceTile * irradianceTile;
    for (int t = 0; t < ni * ni; ++t) {
        Float3& stored = tile[(t / ni + 1) * irradianceTile + t % ni + 1];
        stored = stored * hysteresis + result.irradiance[t] * fresh;
    }
    fillBorder(tile, ni);
    Moments* distanceTileData = moments.data() + size_t(index) * distanceTile * distanceTile;
    for (int t = 0; t < nd * nd; ++t) {
        Moments& stored = distanceTileData[(t / nd + 1) * distanceTile + t % nd + 1];
        stored = stored * hysteresis + result.moments[t] * fresh;
    }
    fillBorder(distanceTileData, nd);
    probe.state = ProbeState::Active;
    ++probe.blended;
    ++changes;
}

IrradianceProbeField::UpdateStats IrradianceProbeField::update(const Scene& scene, RayWorkerPool* pool,
                                                               uint32_t probeBudget)
{
    UpdateStats stats;
    if (!scene.tree || !scene.tree->geometry || !scene.sky || probeBudget == 0)
        return stats;
    const std::vector<int> chosen = chooseProbes(probeBudget);
    std::vector<Result> results(chosen.size());
    const uint64_t seed = mix(++updates, 0x5DEECE66Dull);
    auto job = [&](uint32_t i) { traceProbe(scene, chosen[i], seed, results[i]); };
    if (pool)
        pool->run(uint32_t(chosen.size()), job);
    else
        for (uint32_t i = 0; i < chosen.size(); ++i)
            job(i);
    // Blended after every probe has traced: the rays read the maps as they were.
    for (size_t i = 0; i < chosen.size(); ++i) {
        applyResult(chosen[i], results[i]);
        stats.rays += results[i].rays;
    }
    stats.probes = uint32_t(chosen.size());
    return stats;
}

IrradianceProbeField::UpdateStats IrradianceProbeField::settle(const Scene& scene, RayWorkerPool* pool, int rounds)
{
    UpdateStats total;
    for (int r = 0; r < rounds; ++r) {
        // Each round carries the light one bounce further; all but the last replace what the
        // round before stored (which lacked that bounce) instead of averaging with it.
        if (r + 1 < rounds)
            restart();
        // A round updates every probe that can light anything, those moved out of geometry included.
        for (int pass = 0; pass < 2; ++pass) {
            const UpdateStats s = update(scene, pool, pass == 0 ? uint32_t(probeCount()) : uint32_t(freshProbes()));
            total.probes += s.probes;
            total.rays += s.rays;
        }
    }
    return total;
}

Float3 IrradianceProbeField::irradianceAt(Float3 position, Float3 normal, Float3 towardViewer) const
{
    const float s = grid.spacing;
    const Float3 biased = position + (normal * 0.2f + towardViewer * 0.8f) * (selfShadowBiasCells * s);
    const Float3 o = origin();
    const float lx = clampf((biased.x - o.x) / s, 0.0f, float(grid.countX - 1));
    const float ly = clampf((biased.y - o.y) / s, 0.0f, float(grid.countY - 1));
    const float lz = clampf((biased.z - o.z) / s, 0.0f, float(grid.countZ - 1));
    const int x0 = std::min(int(lx), grid.countX - 2);
    const int y0 = std::min(int(ly), grid.countY - 2);
    const int z0 = std::min(int(lz), grid.countZ - 2);
    const Float3 alpha{lx - float(x0), ly - float(y0), lz - float(z0)};
    Float3 sum;
    float weightSum = 0.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const int cx = corner & 1, cy = (corner >> 1) & 1, cz = (corner >> 2) & 1;
        const int index = probeIndex(x0 + cx, y0 + cy, z0 + cz);
        if (!probeActive(index))
            continue;
        const Float3 probe = probePosition(index);
        const Float3 toProbe = normalize(probe - position);
        // Probes behind the surface's plane count for little: they see its other side.
        const float facing = (dot(toProbe, normal) + 1.0f) * 0.5f;
        float weight = facing * facing;
        const Float3 fromProbe = biased - probe;
        const float r = std::max(length(fromProbe), 1e-4f);
        const Moments* tile = moments.data() + size_t(index) * distanceTile * distanceTile;
        const Moments m = sampleTile(tile, distanceTexels, fromProbe / r);
        if (r > m.mean) {
            const float variance = std::fabs(m.meanSquare - m.mean * m.mean);
            const float gap = r - m.mean;
            const float chebyshev = variance / (variance + gap * gap);
            weight *= chebyshev * chebyshev * chebyshev;
        }
        weight = std::max(weight, 1e-6f);
        // Weights that are already small count for far less, so a hidden probe cannot leak light.
        if (weight < 0.2f)
            weight *= weight * weight / 0.04f;
        const float tx = cx ? alpha.x : 1.0f - alpha.x;
        const float ty = cy ? alpha.y : 1.0f - alpha.y;
        const float tz = cz ? alpha.z : 1.0f - alpha.z;
        weight *= tx * ty * tz;
        const Float3* irradianceTileData = irradiance.data() + size_t(index) * irradianceTile * irradianceTile;
        sum = sum + sampleIrradianceTile(irradianceTileData, normal) * weight;
        weightSum += weight;
    }
    return weightSum > 0.0f ? sum / weightSum : Float3{};
}

}  // namespace Orvanta
