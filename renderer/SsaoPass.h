#pragma once
#include "gpu/Semantics.h"
#include "renderer/SsaoSet.h"

namespace Orvanta {

class FrameBufferStack;
class Texture;
class TextureUnitTable;
struct FrustumVectors;

// What the ambient-occlusion pass takes from the renderer.
struct SsaoPassInputs {
    // The G-buffer's linear eye depth at full size (0 where nothing was drawn).
    Texture* gBufferDepth = nullptr;
    // The camera's corner rays at unit depth, sent with the occlusion quad.
    const FrustumVectors* rays = nullptr;
    // Feeds the three programs' uniforms and records their texture units.
    UniformValueSource* uniforms = nullptr;
    FrameBufferStack* frameBuffers = nullptr;
    TextureUnitTable* textureUnits = nullptr;
};

// Multiplies the target on top of the framebuffer stack by the ambient factor: copies the depth
// to half size, estimates the occlusion there, blurs it horizontally into the full-size blur
// target and applies the vertical blur to the target by blending (its colour times the shader's
// alpha). Depth test and writes are off throughout and on again afterwards; both matrices and
// the bound target are as before. Does nothing when the set is not built or an input is missing.
void drawSsao(SsaoSet& set, const SsaoPassInputs& inputs);

// The texture unit a program's sampler of the given semantic reads, as applyPassUniforms handed
// it out (the program must be current), or -1 when the program has no such sampler.
int samplerUnit(const ShaderProgram& program, UniformSemantic semantic);

}  // namespace Orvanta
