#pragma once
#include "renderer/GBuffer.h"
#include "renderer/HdrSet.h"
#include "renderer/PassContext.h"

namespace Orvanta {

class RenderCamera;

// The frame's steps that draw the scene's instances with one scene pass kind, and the steps
// between the passes that set up the scene target and its stencil. Each is one named, timed line
// of the frame.

// Writes the camera's visible instances into the G-buffer.
void fillGBuffer(const PassContext& context, GBuffer& gBuffer, RenderCamera& camera);

// Binds the HDR scene target and clears its colour, depth and stencil; the lighting passes add
// into it until endSceneTarget.
void beginSceneTarget(const PassContext& context, HdrSet& hdr);
void endSceneTarget(const PassContext& context);

// Every pixel opaque geometry covers gets stencil 1 and the scene's depth. The stencil test stays
// on for the lighting passes that follow.
void markCoveredPixels(const PassContext& context, RenderCamera& camera);

// The stencil test the lighting passes run under: covered pixels not yet lit by the probes
// (stencil 1), the probe-lit ones (2), every covered pixel (1 or 2), and off again.
void limitToCoveredPixels();
void limitToProbeLitPixels();
void limitToEveryCoveredPixel();
void endStencilTest();

// The sky with the view's rotation alone, so that the dome stays centred on the viewer; depth
// writes off.
void drawSkyDome(const PassContext& context, RenderCamera& camera);

// The transparent surfaces, blended over what is there by their alpha.
void drawTransparentSurfaces(const PassContext& context, RenderCamera& camera);

}  // namespace Orvanta
