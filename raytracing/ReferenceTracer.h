#pragma once
#include "content/KdTree.h"
#include "raytracing/Ray.h"
#include "raytracing/SkyEnvironment.h"
#include "scene/Camera.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

class RayWorkerPool;

// The reference path tracer: unbiased Monte Carlo light transport through the engine's kd-tree,
// against which the frame's approximations are measured. It shades every hit with the terms the
// G-buffer write records (albedo, shading normal, specular intensity and power) and the deferred
// lights' model (Lambert plus normalised Blinn-Phong), adds the material optics (a Fresnel-weighted
// mirror lobe, light passing through thin panes and refracting into water), lights the scene with
// the sun as a small disc and the sky map, and follows the light over several bounces.
// Direct light reaches what lies under water straight through the surface, as through a pane,
// instead of only by paths that refract out towards the sun disc (which a few hundred samples
// rarely find): exact for a diffuse floor parallel to a flat surface, close elsewhere.
// The transparent surfaces the frame blends (the geometry's sheets, such as the canopy's glass) are
// thin sheets: a ray meets one where its colour image covers it, by the coverage's probability, and
// is scattered diffusely to either side by the image's colour; light passes the rest straight.
//
// The tree it walks must be two-sided (twoSidedCopy): the frame culls the back faces of
// single-sided surfaces, which for a path tracer would let light through the back of every wall.
struct ReferenceScene {
    const KdTree* tree = nullptr;  // with geometry set
    const SkyEnvironment* sky = nullptr;
    // Indirect bounces after the first hit: 0 is direct light only (sun and sky at the first hit).
    // Paths end earlier by Russian roulette once they carry little light.
    int maxBounces = 4;
    uint64_t seed = 0;  // different seeds give independent pictures
    // Rooms' light is also sought through the window panes: paths aim a share of their directions
    // at them (WindowPortals) and reach the sun's patches through them (SunPortals). The same
    // picture in expectation, far less noise where the light comes in through windows.
    bool portals = true;
    // When set, every ray traced is also appended here (for benchmarks that replay the paths'
    // rays through other walks); only for runs without a worker pool.
    std::vector<Ray>* recordedRays = nullptr;
};

// A copy of a tree whose every triangle is hit from both sides (the records of the walks; the
// nodes are unchanged, since a triangle's sides do not enter the build).
KdTree twoSidedCopy(const KdTree& tree);

// The sum of the samples traced so far per pixel; row 0 is the top of the picture. The samples of
// odd index are also summed on their own, so that the image splits into two independent halves
// whose difference measures the picture's own noise.
struct ReferenceImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t samples = 0;        // per pixel
    std::vector<double> sum;     // three per pixel
    std::vector<double> oddSum;  // three per pixel, the samples of odd index only

    void reset(uint32_t w, uint32_t h);
    // The mean so far, three floats per pixel.
    std::vector<float> mean() const;
    // The mean of the samples of even index (half 0) or of odd index (half 1).
    std::vector<float> halfMean(int half) const;
};

struct ReferenceStats {
    uint64_t rays = 0;  // camera, bounce and shadow rays
};

// Adds `samples` paths per pixel of the camera's view to the image (sized beforehand with reset),
// tile by tile on the pool (on the calling thread without one). Pixel (x, y) looks along
// frustumRay((x + jitter) / width, (y + jitter) / height). The picture depends only on the scene,
// the camera, the seed and how many samples the image holds, not on the threads.
ReferenceStats traceReferenceSamples(const ReferenceScene& scene, const Camera& camera, ReferenceImage& image,
                                     uint32_t samples, RayWorkerPool* pool);

// What the first hit through each pixel centre would write into a G-buffer: the albedo (linear,
// sampled with the pixel's footprint) and the shading normal facing the camera; zero where the
// ray leaves the scene. Three floats per pixel each, row 0 at the top.
void traceFirstHits(const ReferenceScene& scene, const Camera& camera, uint32_t width, uint32_t height,
                    std::vector<float>& albedo, std::vector<float>& normal, RayWorkerPool* pool);

}  // namespace Orvanta
