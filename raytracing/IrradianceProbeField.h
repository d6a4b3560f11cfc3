#pragma once
#include "content/KdTree.h"
#include "raytracing/SkyEnvironment.h"
#include "scene/Math.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

class RayWorkerPool;

// The mean and mean square of the distance to the nearest surface over a texel's directions.
struct DistanceMoments {
    float mean = 0.0f;
    float meanSquare = 0.0f;
};

// A grid of irradiance probes updated by ray tracing (dynamic diffuse global illumination,
// Majercik et al. 2019, with the relocation and state of the 2021 follow-up). Each probe holds the
// irradiance arriving from every direction and the mean and mean square of the distance to the
// nearest surface per direction, both as octahedral maps with a one-texel border (so they filter
// bilinearly as they are). A surface point reads the eight probes around it, weighted by
// position, by how much each faces its normal and by a Chebyshev test of the distance moments,
// which gives the probes a wall hides (nearly) no weight: light does not pass walls.
//
// Each update traces rays from a budget of probes in directions rotated at random; a hit is lit by
// the sun (a shadow ray, panes passing it tinted) and by the probes' own irradiance at the hit
// (the bounces before), a miss sees the sky map, so the sky's visibility comes from the scene.
// New results blend into the stored maps with a hysteresis that starts at zero after the light
// changes (restart) and rises towards kSteadyHysteresis as a probe's updates accumulate.
//
// The grid follows a point (the camera) in whole cells; probes that stay keep their maps.
class IrradianceProbeField {
public:
    // Texels per side of a probe's irradiance map: irradiance is smooth over directions (a cosine
    // convolution), 8 x 8 holds it as the published method does.
    static constexpr int irradianceTexels = 8;
    // Texels per side of the distance moments: sharper (visibility changes at every edge), 16 x 16.
    static constexpr int distanceTexels = 16;
    static constexpr int irradianceTile = irradianceTexels + 2;
    static constexpr int distanceTile = distanceTexels + 2;
    // The offset of a shaded point towards the viewer and along its normal before the probes are
    // read, in cells: the published 0.3 of three quarters of the spacing, enough to step over the
    // distance maps' own quantisation so that surfaces do not shadow themselves.
    static constexpr float selfShadowBiasCells = 0.225f;

    struct Layout {
        int countX = 24;
        int countY = 10;
        int countZ = 24;
        float spacing = 1.0f;
    };

    explicit IrradianceProbeField(const Layout& layout);

    // Centres the grid on the point, in whole cells. Probes whose cell stays inside keep their
    // maps and state; the others start fresh. True when the grid moved.
    bool follow(Float3 point);
    // The light changed (the sun moved): every probe's next update replaces its maps instead of
    // blending into them, and the hysteresis rises again from there.
    void restart();

    struct Scene {
        const KdTree* tree = nullptr;  // two-sided (twoSidedCopy), geometry set
        const SkyEnvironment* sky = nullptr;
    };
    struct UpdateStats {
        uint32_t probes = 0;
        uint64_t rays = 0;  // probe rays, shadow rays and rays continued through panes and leaves
    };
    // Updates up to `probeBudget` probes on the pool (on the calling thread without one): the
    // probes never updated first, then the others in turn, those around the grid's centre (the
    // camera) with half of the budget.
    UpdateStats update(const Scene& scene, RayWorkerPool* pool, uint32_t probeBudget);
    // Updates every probe `rounds` times: a field settled from nothing (each round carries the
    // light one bounce further).
    UpdateStats settle(const Scene& scene, RayWorkerPool* pool, int rounds);

    // The irradiance the probes give a surface point with this unit normal, seen from a viewer in
    // the unit direction towardViewer (the offset that keeps surfaces from shadowing themselves
    // leans towards it); the same weighting as the apply shader. Points outside the grid read it
    // at the nearest point inside.
    Float3 irradianceAt(Float3 position, Float3 normal, Float3 towardViewer) const;

    const Layout& layout() const { return grid; }
    int probeCount() const { return grid.countX * grid.countY * grid.countZ; }
    int probeIndex(int x, int y, int z) const { return x + grid.countX * (y + grid.countY * z); }
    // The grid's cell position of probe (0, 0, 0) before relocation.
    Float3 origin() const;
    // A probe's position: its grid point plus its relocation offset.
    Float3 probePosition(int index) const;
    Float3 probeOffset(int index) const { return probes[size_t(index)].offset; }
    // Whether a probe lights anything: updated at least once and not inside geometry.
    bool probeActive(int index) const { return probes[size_t(index)].state == ProbeState::Active; }
    // The bordered maps: irradianceTile^2 RGB texels and distanceTile^2 (mean, mean square) pairs
    // per probe, probe by probe.
    const std::vector<Float3>& irradianceTexelsData() const { return irradiance; }
    const std::vector<DistanceMoments>& distanceMomentsData() const { return moments; }
    // Counts up by one whenever anything stored changes (for uploads).
    uint64_t version() const { return changes; }
    // The probes whose maps or state changed since the last call, into `probes`; true when the
    // whole grid changed (it moved), `probes` then left empty.
    bool takeChanges(std::vector<int>& probes);
    // Probes not yet updated (fresh after start, a restart keeps the maps).
    int freshProbes() const;

private:
    enum class ProbeState : uint8_t { Fresh, Active, Off };
    struct Probe {
        Float3 offset;
        ProbeState state = ProbeState::Fresh;
        uint8_t relocations = 0;
        uint32_t blended = 0;  // updates blended since the last restart
    };
    struct Result;

    void traceProbe(const Scene& scene, int index, uint64_t seed, Result& result) const;
    void applyResult(int index, const Result& result);
    std::vector<int> chooseProbes(uint32_t budget);
    // The probes around the grid's centre, k from 0 to nearProbeCount() - 1.
    int nearProbeCount() const;
    int nearProbe(int k) const;
    Float3 gridPoint(int index) const;

    Layout grid;
    int baseX = 0, baseY = 0, baseZ = 0;  // cell of probe (0, 0, 0)
    std::vector<Probe> probes;
    std::vector<Float3> irradiance;
    std::vector<DistanceMoments> moments;
    int cursor = 0;
    int nearCursor = 0;
    std::vector<int> changedProbes;
    bool allChanged = true;
    uint64_t updates = 0;
    uint64_t changes = 0;
};

// The irradiance on a unit normal from a bordered octahedral tile of irradianceTexels (bilinear).
Float3 sampleIrradianceTile(const Float3* tile, Float3 normal);

}  // namespace Orvanta
