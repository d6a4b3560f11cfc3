#pragma once
#include "renderer/FoliageCrowns.h"
#include "renderer/FrameBuffer.h"
#include "renderer/FrustumVectors.h"
#include "renderer/PassContext.h"
#include "scene/Math.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Orvanta {

class Texture3D;
struct ShaderProgram;

// The sky's light over the yard, precomputed into a fixed world-space volume: for every cell the
// light arriving from the upper hemisphere, each direction tested against the scene's occlusion
// quads, stored as second-order spherical harmonics (nine coefficients per colour channel, 27
// numbers spread over seven 3D textures). The volume spans world x and z from -64 to 64 and y
// from 0 to 32 around the origin; texture x runs with world x, texture y with world z and layer
// v holds the cells centred at height cellSize * (v + 0.5).
//
// After the sun moves the volume is rebuilt progressively, one layer per frame, so a sun change
// never costs more than one slice; only the first frame writes it whole.
struct SkyLightingVolume {
    static constexpr int TextureCount = 7;
    static constexpr int SamplingVectorCount = 100;
    // The write shader declares room for this many occlusion corners (64 quads); a scene with
    // more has the rest left out, with a message when the set is handed them.
    static constexpr int MaxOcclusionCorners = 256;
    // The write shader declares room for this many foliage crowns.
    static constexpr int MaxFoliageCrowns = 16;

    uint32_t width = 64;
    uint32_t height = 16;
    uint32_t length = 64;
    float cellSize = 2.0f;
    uint32_t slicesPerFrame = 1;
    // Four corners per quad, in the loader's order; the write shader reads each quad as the
    // parallelogram of corners 0, 1 and 2 (corner 3 is not used, its z is never stored).
    std::vector<Float3> occlusionCorners;
    // The box around every occlusion quad (corner 3 included); empty (minimum above maximum)
    // without quads. The apply pass tests its pixels against the quads only inside it.
    Float3 occlusionMinimum{1.0f, 1.0f, 1.0f};
    Float3 occlusionMaximum{-1.0f, -1.0f, -1.0f};
    // The crowns of the scene's trees and bushes, at most MaxFoliageCrowns: each direction of a
    // cell passes a crown in the measure of the leaves along its chord through it.
    std::vector<Float3> foliageCentres;
    std::vector<Float3> foliageRadii;
    std::vector<Float3> samplingVectors;
    // 64 x 64 target whose seven colour attachments are layers of the volume textures.
    FrameBuffer target;
    std::unique_ptr<Texture3D> textures[TextureCount];
    ShaderProgram* writeProgram = nullptr;
    ShaderProgram* applyProgram = nullptr;
    uint32_t nextSlice = 0;
    uint32_t slicesWrittenSinceRestart = 0;
    bool completeNow = true;

    SkyLightingVolume();
    ~SkyLightingVolume();
    SkyLightingVolume(const SkyLightingVolume&) = delete;
    SkyLightingVolume& operator=(const SkyLightingVolume&) = delete;

    // Slices that make a full rebuild: every layer once and the first of them again, so that a
    // rebuild starting from any layer rewrites the layer it started in after all others.
    uint32_t slicesPerRebuild() const { return height + 1; }
    // World-space extent of each axis (cell size times cell count).
    float worldWidth() const { return cellSize * static_cast<float>(width); }
    float worldHeight() const { return cellSize * static_cast<float>(height); }
    float worldLength() const { return cellSize * static_cast<float>(length); }
};

// The 100 hemisphere directions the write shader samples: a spiral from y = 0.995 down by 0.01
// per vector, turning by the golden angle, in single precision with sine and cosine in double.
std::vector<Float3> skyLightingSamplingVectors();

// The volume's record, sampling vectors, target and programs. Leaves the target bound.
void initSkyLightingVolume(SkyLightingVolume& volume);

// Hands the set the scene's occlusion corners and asks for the whole volume at the next update,
// as at start-up (the loader hands them over before the first frame). More than
// MaxOcclusionCorners are cut to that many and reported; a count that is not a multiple of four
// loses its incomplete last quad.
void setSkyOcclusionCorners(SkyLightingVolume& volume, const std::vector<Float3>& corners);

// Hands the set the scene's foliage crowns and asks for the whole volume at the next update.
// More than MaxFoliageCrowns keep the largest (by volume) and report the rest left out.
void setSkyFoliage(SkyLightingVolume& volume, std::vector<FoliageCrown> crowns);

// Starts a progressive rebuild (called whenever the sun moves): the count of slices written since
// the restart goes back to 0; the next slice stays, so the rebuild starts where the last one was.
void restartSkyLightingVolume(SkyLightingVolume& volume);

// The slice bookkeeping of one frame, without drawing: the layers to write this frame, in order,
// with the counters advanced as if they were written. All remaining slices while the
// complete-now flag is set (the first frame), otherwise slicesPerFrame; none once a rebuild is
// done, which also clears the flag.
std::vector<uint32_t> takeSkyLightingSlices(SkyLightingVolume& volume);

// Matrices of the slice writes: the modelview maps world (x, y, z) to (-x, z, y); the projection
// maps that to clip x = world x / (width / 2), clip y = world z / (length / 2) and depth
// 1 - 2 y / worldHeight, so a horizontal quad over the volume at any height inside it fills the
// 64 x 64 viewport with one fragment per cell.
Matrix4 skyLightingSliceModelview();
Matrix4 skyLightingSliceProjection(const SkyLightingVolume& volume);

// Frame step: writes this frame's slices (see takeSkyLightingSlices) into the volume. Both
// matrices and the bound target are as before afterwards.
void updateSkyLightingVolume(const PassContext& context, SkyLightingVolume& volume);

// What the sky lighting reads besides the volume: the G-buffer it lights (null: the rasterised
// one; the ray-traced ones alike) and the camera's corner rays at unit depth for unit 1.
struct SkyLightingInputs {
    GBufferInterface* gBuffer = nullptr;
    const FrustumVectors* rays = nullptr;
};

// Adds the sky's light to the target on top of the framebuffer stack for every pixel the stencil
// lets through, reading the inputs' G-buffer: each pixel's world position selects the volume's
// cell (outside the volume the open sky), whose irradiance for the pixel's normal times its
// surface colour is added.
void drawSkyLighting(const PassContext& context, const SkyLightingVolume& volume, const SkyLightingInputs& inputs);

}  // namespace Orvanta
