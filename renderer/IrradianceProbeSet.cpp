#include "renderer/IrradianceProbeSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "raytracing/ReferenceTracer.h"
#include "renderer/TextureUnitTable.h"

#include <chrono>
#include <vector>

namespace Orvanta {

namespace {

const char* const ProbeLightingShaderPath = "resources/shaders/engine/irradianceProbes/probeLightingFragment.shader";
// Fewer fresh probes than this share of the grid are left to the frame's budget; more (the first
// frame, the camera jumping) are settled at once, so no frame shows an unlit grid.
constexpr float kSettleFreshShare = 0.5f;
constexpr int kIrradianceUnit = IrradianceProbeSet::irradianceUnit;
constexpr int kDistanceUnit = IrradianceProbeSet::distanceUnit;
constexpr int kStatesUnit = IrradianceProbeSet::statesUnit;
constexpr int kFilterNearest = 0;
constexpr int kFilterLinear = 1;

using Field = IrradianceProbeField;

constexpr auto atlasWidth = IrradianceProbeSet::atlasWidth;
constexpr auto atlasHeight = IrradianceProbeSet::atlasHeight;

// Where probe `index` lies in the atlases and the state texture: column x, row y + countY z.
void probeCell(const Field& field, int index, int& column, int& row)
{
    const Field::Layout& l = field.layout();
    column = index % l.countX;
    row = index / l.countX;
}

void uploadProbe(const Field& field, int index)
{
    int column, row;
    probeCell(field, index, column, row);
    const int it = Field::irradianceTile, dt = Field::distanceTile;
    glActiveTextureARB(GL_TEXTURE0 + kIrradianceUnit);
    const Float3* irradiance = field.irradianceTexelsData().data() + size_t(index) * it * it;
    glTexSubImage2D(GL_TEXTURE_2D, 0, column * it, row * it, it, it, GL_RGB, GL_FLOAT, irradiance);
    glActiveTextureARB(GL_TEXTURE0 + kDistanceUnit);
    const DistanceMoments* moments = field.distanceMomentsData().data() + size_t(index) * dt * dt;
    glTexSubImage2D(GL_TEXTURE_2D, 0, column * dt, row * dt, dt, dt, GL_RG, GL_FLOAT, moments);
}

void uploadStates(const Field& field, std::vector<float>& staging)
{
    staging.assign(size_t(field.probeCount()) * 4, 0.0f);
    for (int i = 0; i < field.probeCount(); ++i) {
        const Float3 offset = field.probeOffset(i);
        float* texel = staging.data() + size_t(i) * 4;
        texel[0] = offset.x, texel[1] = offset.y, texel[2] = offset.z;
        texel[3] = field.probeActive(i) ? 1.0f : 0.0f;
    }
    const Field::Layout& l = field.layout();
    glActiveTextureARB(GL_TEXTURE0 + kStatesUnit);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, l.countX, l.countY * l.countZ, GL_RGBA, GL_FLOAT, staging.data());
}

}  // namespace

void uploadIrradianceProbes(IrradianceProbeSet& set, TextureUnitTable& units)
{
    Field& field = *set.field;
    if (set.uploadedVersion == field.version())
        return;
    units.bind(kIrradianceUnit, set.irradianceAtlas.get());
    units.bind(kDistanceUnit, set.distanceAtlas.get());
    units.bind(kStatesUnit, set.probeStates.get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    std::vector<int> changed;
    std::vector<float> staging;
    if (field.takeChanges(changed))
        for (int i = 0; i < field.probeCount(); ++i)
            uploadProbe(field, i);
    else
        for (int i : changed)
            uploadProbe(field, i);
    uploadStates(field, staging);
    set.uploadedVersion = field.version();
}

namespace {

void create(IrradianceProbeSet& set, const KdTree& tree)
{
    set.field = std::make_unique<Field>(IrradianceProbeSet::layout);
    set.twoSidedTree = twoSidedCopy(tree);
    set.irradianceAtlas = std::make_unique<Texture2D>();
    allocate2D(PixelFormatRgb16F, *set.irradianceAtlas, atlasWidth(Field::irradianceTile),
               atlasHeight(Field::irradianceTile), kFilterLinear, false);
    set.distanceAtlas = std::make_unique<Texture2D>();
    allocate2D(PixelFormatRg16F, *set.distanceAtlas, atlasWidth(Field::distanceTile), atlasHeight(Field::distanceTile),
               kFilterLinear, false);
    set.probeStates = std::make_unique<Texture2D>();
    allocate2D(PixelFormatRgba32F, *set.probeStates, IrradianceProbeSet::layout.countX,
               IrradianceProbeSet::layout.countY * IrradianceProbeSet::layout.countZ, kFilterNearest, false);
    glBindTexture(GL_TEXTURE_2D, 0);
    set.program = getFragmentProgram(ProbeLightingShaderPath);
}

}  // namespace

IrradianceProbeSet::IrradianceProbeSet() = default;
IrradianceProbeSet::~IrradianceProbeSet() = default;

void updateIrradianceProbes(IrradianceProbeSet& set, const IrradianceProbeUpdateInputs& inputs)
{
    if (!inputs.tree || !inputs.tree->geometry || inputs.tree->nodes.empty() || !inputs.captureSky)
        return;
    if (!set.field)
        create(set, *inputs.tree);
    Field& field = *set.field;
    field.follow(inputs.camera);
    const Float3 sun = inputs.sunDirection;
    if (!set.skyTraced || !(sun == set.tracedSunDirection)) {
        set.sky = inputs.captureSky();
        set.tracedSunDirection = sun;
        set.skyTraced = true;
        field.restart();
    }
    const auto start = std::chrono::steady_clock::now();
    const Field::Scene scene{&set.twoSidedTree, &set.sky};
    if (float(field.freshProbes()) > kSettleFreshShare * float(field.probeCount()))
        set.lastUpdate = field.settle(scene, inputs.pool, IrradianceProbeSet::settleRounds);
    else
        set.lastUpdate = field.update(scene, inputs.pool, IrradianceProbeSet::probesPerFrame);
    set.lastUpdateMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace Orvanta
