#pragma once
#include "raytracing/TraceTiles.h"
#include "renderer/FrameBuffer.h"
#include "renderer/PixelBuffer.h"
#include "renderer/RaytracedGBuffer.h"
#include "renderer/ScreenSizedTargets.h"

#include <cstdint>

namespace Orvanta {

class RayTracer;
class Texture2D;
struct ShaderProgram;

// Two targets that the passes after the ray-traced lighting render into by turns. The index
// names the one the next pass renders into; after each pass it flips, so the last finished image
// is the other one.
struct PingPongTargets {
    FrameBuffer targets[2];
    int index = 0;

    // Both at width x height: RGB16F colour with linear filtering and a depth-stencil renderbuffer.
    void create(int width, int height);
    FrameBuffer& current() { return targets[index]; }
    Texture2D* lastFinished() const { return targets[(index + 1) & 1].colorTexture(0); }
    void flip() { index ^= 1; }
};

// What the last traced frame cost and covered, for the render tool and the benchmark.
struct RayTracingFrameStats {
    PixelRect region;
    uint64_t rays = 0;  // reflection rays
    uint64_t refractionRays = 0;
    // Reading the rays back, including the wait for the pre-pass the mapping implies.
    double readBackMilliseconds = 0.0;
    // The workers' tracing of both kinds of rays, fork to join.
    double traceMilliseconds = 0.0;
    // Unmapping and the texture updates from the upload buffers.
    double uploadMilliseconds = 0.0;
};

// The GPU half of the hybrid ray tracer, at tracing resolution (the client size over the ray
// tracer's divisor): the ray-input target whose attachments 0, 1, 2 receive per pixel the ray
// origin, the reflection direction and the refraction direction (w of a direction marks a ray),
// one read-back buffer per attachment, the reflection and refraction G-buffers, the ping-pong
// targets of the ray-traced lighting, its sky and border-correction programs and the 3 x 3
// texel offsets of the border correction. Refraction rays are traced, lit and composited beside
// the reflections in frames that ask for them.
struct RayTracingSet : ScreenSizedTargets {
    static constexpr int rayAttachmentCount = 3;

    // Rebuilds every target and buffer of a created set for a new client size (between frames)
    // and moves the ray tracer to the new tracing resolution; the programs stay.
    void resizeTargets(int clientWidth, int clientHeight) override;

    RayTracer* tracer = nullptr;
    int width = 0;
    int height = 0;
    FrameBuffer rayInput;
    PixelBuffer readBacks[rayAttachmentCount];
    RaytracedGBuffer reflections;
    RaytracedGBuffer refractions;
    PingPongTargets reflectionTargets;
    PingPongTargets refractionTargets;
    ShaderProgram* renderSkyProgram = nullptr;
    ShaderProgram* borderCorrectionProgram = nullptr;
    float borderCorrectionOffsets[9][2] = {};

    // Set by readBackRays while the read-back and upload buffers are mapped; cleared by
    // uploadTracedRays.
    bool raysPending = false;
    // Set by readBackRays when the refractions' upload buffers are mapped too; they are traced
    // and uploaded with the reflections. Cleared by the next readBackRays.
    bool refracting = false;
    // Set once the workers have filled the mapped buffers this frame; only then is uploaded.
    bool traced = false;
    // Frames whose rays were read back, since creation.
    uint64_t readBackCount = 0;
    RayTracingFrameStats lastFrame;
};

// Starts the ray tracer at the client size over its divisor and builds every target, buffer and
// program of the set; leaves the last target bound.
void createRayTracingSet(RayTracingSet& set, RayTracer& tracer, int clientWidth, int clientHeight);

// The nine texel offsets of a 3 x 3 neighbourhood at width x height, row by row from (-dx, -dy)
// to (dx, dy), with dx = 1 / width and dy = 1 / height.
void fillBorderCorrectionOffsets(float offsets[9][2], int width, int height);

// With the ray-input target bound: reads its three attachments within the traced region into
// the read-back buffers as RGBA half floats, maps them for reading (which waits for the
// transfer) and maps the reflections' upload buffers for writing, and the refractions' too
// when withRefractions is set. When a map fails everything is unmapped again and nothing is
// traced this frame.
void readBackRays(RayTracingSet& set, bool withRefractions = false);

// The two halves of bringing the traced rays in, which the frame times apart. Both do nothing
// unless readBackRays mapped the buffers this frame.
// traceRays runs the workers over the region (fork-join) into the mapped buffers: the reflection
// rays and, when refracting, the refraction rays.
void traceRays(RayTracingSet& set);
// uploadTracedRays unmaps every buffer and updates the reflection (and refraction) textures within
// the region; texels outside it keep their contents.
void uploadTracedRays(RayTracingSet& set);

}  // namespace Orvanta
