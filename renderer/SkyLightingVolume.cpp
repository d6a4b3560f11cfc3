#include "renderer/SkyLightingVolume.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/MatrixStack.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

// The spiral's step: the golden angle in radians, so that successive directions never line up.
constexpr float GoldenAngle = 2.3999627f;
constexpr float SpiralFirstY = 0.995f;
constexpr float SpiralStepY = 0.01f;

void attachLayer(const SkyLightingVolume& volume, uint32_t layer)
{
    for (int k = 0; k < SkyLightingVolume::TextureCount; ++k)
        glFramebufferTexture3D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(k), GL_TEXTURE_3D,
                               volume.textures[k]->name, 0, static_cast<GLint>(layer));
}

// The whole volume is written at the next update, as at start-up.
void writeWholeAtNextUpdate(SkyLightingVolume& volume)
{
    volume.slicesWrittenSinceRestart = 0;
    volume.completeNow = true;
}

}  // namespace

SkyLightingVolume::SkyLightingVolume() = default;
SkyLightingVolume::~SkyLightingVolume() = default;

std::vector<Float3> skyLightingSamplingVectors()
{
    std::vector<Float3> vectors;
    vectors.reserve(SkyLightingVolume::SamplingVectorCount);
    float y = SpiralFirstY;
    float angle = 0.0f;
    for (int i = 0; i < SkyLightingVolume::SamplingVectorCount; ++i) {
        float r = std::sqrt(1.0f - y * y);
        float c = static_cast<float>(std::cos(static_cast<double>(angle)));
        float s = static_cast<float>(std::sin(static_cast<double>(angle)));
        vectors.push_back(Float3{r * c, y, r * s});
        y = y - SpiralStepY;
        angle = angle + GoldenAngle;
    }
    return vectors;
}

void initSkyLightingVolume(SkyLightingVolume& volume)
{
    volume.samplingVectors = skyLightingSamplingVectors();
    volume.target.create(static_cast<int>(volume.width), static_cast<int>(volume.length));
    for (int k = 0; k < SkyLightingVolume::TextureCount; ++k) {
        volume.textures[k] = std::make_unique<Texture3D>();
        // 27 coefficients: six RGBA textures and one RGB one.
        int32_t format = k < SkyLightingVolume::TextureCount - 1 ? PixelFormatRgba16F : PixelFormatRgb16F;
        allocate3D(format, *volume.textures[k], static_cast<int>(volume.width), static_cast<int>(volume.length),
                   static_cast<int>(volume.height));
        volume.target.drawBuffers.push_back(GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(k));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, volume.target.framebufferId);
    volume.target.setDrawBuffers();
    // Storage starts undefined: an unwritten volume adds no light rather than whatever it held.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    for (uint32_t layer = 0; layer < volume.height; ++layer) {
        attachLayer(volume, layer);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    attachLayer(volume, 0);
    volume.target.checkComplete("sky lighting volume");
    volume.writeProgram = getProgram("resources/shaders/engine/skyLighting/skyLightingVolumeWriteVertex.shader",
                                     "resources/shaders/engine/skyLighting/skyLightingVolumeWriteFragment.shader");
    volume.applyProgram = getFragmentProgram("resources/shaders/engine/skyLighting/skyLightingFragment.shader");
    volume.nextSlice = 0;
    writeWholeAtNextUpdate(volume);
}

void setSkyOcclusionCorners(SkyLightingVolume& volume, const std::vector<Float3>& corners)
{
    size_t usable = corners.size() - corners.size() % 4;
    if (usable != corners.size())
        logError("sky occlusion: " + std::to_string(corners.size()) +
                 " corners do not make whole quads of four; the incomplete last quad is left out");
    if (usable > static_cast<size_t>(SkyLightingVolume::MaxOcclusionCorners)) {
        logError("sky occlusion: " + std::to_string(usable / 4) + " quads are more than the " +
                 std::to_string(SkyLightingVolume::MaxOcclusionCorners / 4) +
                 " the sky lighting volume can test; the rest are left out");
        usable = SkyLightingVolume::MaxOcclusionCorners;
    }
    volume.occlusionCorners.assign(corners.begin(), corners.begin() + static_cast<std::ptrdiff_t>(usable));
    volume.occlusionMinimum = {1.0f, 1.0f, 1.0f};
    volume.occlusionMaximum = {-1.0f, -1.0f, -1.0f};
    for (size_t q = 0; q + 3 < volume.occlusionCorners.size(); q += 4) {
        const Float3* c = &volume.occlusionCorners[q];
        for (Float3 p : {c[0], c[1], c[2], c[0] + c[2] - c[1]}) {
            bool first = volume.occlusionMinimum.x > volume.occlusionMaximum.x;
            volume.occlusionMinimum = first ? p
                                            : Float3{std::fmin(volume.occlusionMinimum.x, p.x),
                                                     std::fmin(volume.occlusionMinimum.y, p.y),
                                                     std::fmin(volume.occlusionMinimum.z, p.z)};
            volume.occlusionMaximum = first ? p
                                            : Float3{std::fmax(volume.occlusionMaximum.x, p.x),
                                                     std::fmax(volume.occlusionMaximum.y, p.y),
                                                     std::fmax(volume.occlusionMaximum.z, p.z)};
        }
    }
    writeWholeAtNextUpdate(volume);
}

void setSkyFoliage(SkyLightingVolume& volume, std::vector<FoliageCrown> crowns)
{
    const size_t limit = static_cast<size_t>(SkyLightingVolume::MaxFoliageCrowns);
    if (crowns.size() > limit) {
        logError("sky foliage: " + std::to_string(crowns.size()) + " crowns are more than the " +
                 std::to_string(limit) + " the sky lighting volume can test; the smallest are left out");
        auto size = [](const FoliageCrown& c) { return c.radii.x * c.radii.y * c.radii.z; };
        std::stable_sort(crowns.begin(), crowns.end(),
                         [&](const FoliageCrown& a, const FoliageCrown& b) { return size(a) > size(b); });
        crowns.resize(limit);
    }
    volume.foliageCentres.clear();
    volume.foliageRadii.clear();
    for (const FoliageCrown& crown : crowns) {
        volume.foliageCentres.push_back(crown.centre);
        volume.foliageRadii.push_back(crown.radii);
    }
    writeWholeAtNextUpdate(volume);
}

void restartSkyLightingVolume(SkyLightingVolume& volume)
{
    volume.slicesWrittenSinceRestart = 0;
}

std::vector<uint32_t> takeSkyLightingSlices(SkyLightingVolume& volume)
{
    std::vector<uint32_t> slices;
    const uint32_t rebuild = volume.slicesPerRebuild();
    if (volume.slicesWrittenSinceRestart == rebuild) {
        volume.completeNow = false;
        return slices;
    }
    uint32_t writtenThisFrame = 0;
    while (volume.slicesWrittenSinceRestart != rebuild) {
        if (writtenThisFrame >= volume.slicesPerFrame && !volume.completeNow)
            break;
        slices.push_back(volume.nextSlice);
        ++volume.slicesWrittenSinceRestart;
        ++writtenThisFrame;
        volume.nextSlice = (volume.nextSlice + 1) % volume.height;
    }
    if (volume.slicesWrittenSinceRestart == rebuild)
        volume.completeNow = false;
    return slices;
}

Matrix4 skyLightingSliceModelview()
{
    // Columns: world x -> -x', world y -> z', world z -> y'.
    Matrix4 m;
    m[0] = -1.0f, m[1] = 0.0f, m[2] = 0.0f;
    m[4] = 0.0f, m[5] = 0.0f, m[6] = 1.0f;
    m[8] = 0.0f, m[9] = 1.0f, m[10] = 0.0f;
    return m;
}

Matrix4 skyLightingSliceProjection(const SkyLightingVolume& volume)
{
    // Orthographic: x' = world x / half width (undoing the modelview's mirror), y' = world z /
    // half length, depth = 1 - 2 y / height.
    Matrix4 p;
    p[0] = -2.0f / volume.worldWidth();
    p[5] = 2.0f / volume.worldLength();
    p[10] = -2.0f / volume.worldHeight();
    p[14] = 1.0f;
    return p;
}

void updateSkyLightingVolume(const PassContext& context, SkyLightingVolume& volume)
{
    std::vector<uint32_t> slices = takeSkyLightingSlices(volume);
    if (slices.empty())
        return;
    Matrix4 modelview = skyLightingSliceModelview();
    Matrix4 projection = skyLightingSliceProjection(volume);
    pushMatrices(projection, modelview);

    context.frameBuffers.push(&volume.target);
    applyProgramUniforms(context, *volume.writeProgram, {});
    const float halfWidth = volume.worldWidth() * 0.5f;
    const float halfLength = volume.worldLength() * 0.5f;
    for (uint32_t slice : slices) {
        attachLayer(volume, slice);
        float y = volume.cellSize * (static_cast<float>(slice) + 0.5f);
        glBegin(GL_QUADS);
        glVertex3f(-halfWidth, y, -halfLength);
        glVertex3f(halfWidth, y, -halfLength);
        glVertex3f(halfWidth, y, halfLength);
        glVertex3f(-halfWidth, y, halfLength);
        glEnd();
    }
    context.frameBuffers.pop();

    popMatrices();
}

void drawSkyLighting(const PassContext& context, const SkyLightingVolume& volume, const SkyLightingInputs& inputs)
{
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    ProgramInputs programInputs;
    programInputs.gBuffer = inputs.gBuffer;
    applyProgramUniforms(context, *volume.applyProgram, programInputs);
    FullScreenQuad quad;
    quad.rays = inputs.rays;
    drawFullScreenQuad(quad);
    glDisable(GL_BLEND);
    endFullScreenPass();
}

}  // namespace Orvanta
