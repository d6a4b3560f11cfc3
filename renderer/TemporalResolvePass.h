#pragma once
#include "renderer/PassContext.h"
#include "renderer/TemporalResolveSet.h"

namespace Orvanta {

class Camera;

// What the temporal resolve reads besides its set and the context's frame-wide values (the scene
// colour and eye depth, the exposure).
struct TemporalResolveInputs {
    // The HDR scene target: read through the uniforms, then overwritten with the resolved frame.
    FrameBuffer* scene = nullptr;
    // The main view with its unjittered matrices.
    const Camera* camera = nullptr;
    // What the frame's picture depends on besides the camera.
    TemporalHistoryKey key;
    // The lighting is still being built up over frames (the sky lighting volume after a sun
    // move): the picture changes under a still camera, so it is blended as a moving one.
    bool lightingSettling = false;
};

// Averages the scene target into the history and writes the result back into the scene target
// (so that the exposure and the tone map read it), then moves on to the next frame's jitter. A
// history whose key differs from the inputs' is dropped first. Leaves no program current, every
// texture unit empty and the framebuffer stack as before. Does nothing when the set is not built
// or an input is missing.
void resolveTemporalHistory(const PassContext& context, TemporalResolveSet& set, const TemporalResolveInputs& inputs);

// The matrix the resolve program takes a current pixel to the previous frame's clip space with:
// from (x * z, y * z, z, 1), the pixel's device x and y and its eye depth z (or (x, y, 1, 0) for
// a pixel at infinity), through the camera's unjittered view-projection inverted, to the previous
// view-projection.
Matrix4 temporalReprojection(const Camera& camera, const Matrix4& previousViewProjection);

}  // namespace Orvanta
