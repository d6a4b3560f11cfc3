#pragma once
#include "content/KdTree.h"
#include "raytracing/IrradianceProbeField.h"
#include "raytracing/SkyEnvironment.h"

#include <functional>
#include <memory>

namespace Orvanta {

class RayWorkerPool;
class Texture2D;
class TextureUnitTable;
struct ShaderProgram;

// The frame's irradiance probes (raytracing/IrradianceProbeField.h): the field following the
// camera, the scene's tree made two-sided for it (a probe must see the backs of walls to know it
// is inside one), the sky it traced last, the atlases the apply pass reads and its program.
// Built on first use, so that a frame without the probes pays nothing for them.
struct IrradianceProbeSet {
    // 24 x 10 x 24 probes one metre apart: rooms of three to six metres get three to six probes
    // across, so a wall always has a probe on either side, and the grid reaches 12 m around the
    // camera (the far field keeps the sky lighting and propagation volumes).
    static constexpr IrradianceProbeField::Layout layout{24, 10, 24, 1.0f};
    // Probes updated per frame: 32 of them at 128 rays each, about 6000 rays with the sun's shadow
    // rays at their hits, which costs about what the reflections' tracing does at 1280 x 720 on
    // the same workers (bench_irradianceProbes). Half go to the 343 probes around the camera,
    // each of which is updated every 21 frames; the rest of the grid every 360 frames or so.
    static constexpr uint32_t probesPerFrame = 32;
    // Rounds of updates of the whole grid when most of it is fresh (the first frame, a jump of
    // the camera): enough bounces that the first pictures are not dark.
    static constexpr int settleRounds = 4;
    // The units the atlases are bound to for their upload and the apply pass, above those the
    // pass's G-buffer samplers take.
    static constexpr int irradianceUnit = 8;
    static constexpr int distanceUnit = 9;
    static constexpr int statesUnit = 10;
    // Texels across and down an atlas of tiles `tile` texels wide: the probes of a row of x side
    // by side, the rows of every layer stacked.
    static constexpr int atlasWidth(int tile) { return layout.countX * tile; }
    static constexpr int atlasHeight(int tile) { return layout.countY * layout.countZ * tile; }

    IrradianceProbeSet();
    ~IrradianceProbeSet();
    IrradianceProbeSet(const IrradianceProbeSet&) = delete;
    IrradianceProbeSet& operator=(const IrradianceProbeSet&) = delete;

    std::unique_ptr<IrradianceProbeField> field;
    KdTree twoSidedTree;
    SkyEnvironment sky;
    Float3 tracedSunDirection;
    bool skyTraced = false;
    std::unique_ptr<Texture2D> irradianceAtlas;
    std::unique_ptr<Texture2D> distanceAtlas;
    std::unique_ptr<Texture2D> probeStates;
    uint64_t uploadedVersion = 0;
    ShaderProgram* program = nullptr;
    // What the last update did and how long it took (wall clock, the workers included), for
    // benchmarks and tools.
    IrradianceProbeField::UpdateStats lastUpdate;
    double lastUpdateMilliseconds = 0.0;
};

// What the probe update reads: the camera to follow, the scene, the pool it traces on (null: the
// calling thread), the sun's direction (the sky is traced again when it changes) and how to read
// the frame's sky and sun.
struct IrradianceProbeUpdateInputs {
    Float3 camera;
    const KdTree* tree = nullptr;
    RayWorkerPool* pool = nullptr;
    Float3 sunDirection;
    std::function<SkyEnvironment()> captureSky;
};

// Frame step on the CPU: builds the set on first use, follows the camera, restarts the probes when
// the sun has moved, updates the frame's budget of probes (the whole grid, settleRounds times,
// when most of it is fresh) and uploads what changed. Needs the renderer's context current.
void updateIrradianceProbes(IrradianceProbeSet& set, const IrradianceProbeUpdateInputs& inputs);

// Brings the atlases and the probe states up to date with the field (the probes that changed, or
// all of them); leaves them bound to their units.
void uploadIrradianceProbes(IrradianceProbeSet& set, TextureUnitTable& units);

}  // namespace Orvanta
