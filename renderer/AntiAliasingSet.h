#pragma once
#include "gpu/Semantics.h"
#include "renderer/FrameBuffer.h"
#include "renderer/ScreenSizedTargets.h"

namespace Orvanta {

struct ShaderProgram;

extern const char* const AntiAliasingShaderPath;

// Post-process edge smoothing of the tone-mapped frame. The tone map writes into the input target
// (8-bit sRGB, so it holds exactly the bytes the window would have received); the pass reads it
// with bilinear filtering, which decodes to linear light, and blends across the edges it finds
// into the window's framebuffer.
struct AntiAliasingSet : ScreenSizedTargets {
    // Builds the input target at the client size and the program; leaves the target bound.
    void create(int width, int height);
    // (Re)builds the client-sized input target alone; leaves it bound.
    void resizeTargets(int width, int height) override;
    bool created() const { return program != nullptr; }

    Texture2D* inputTexture() const { return input.colorTexture(0); }

    FrameBuffer input;
    ShaderProgram* program = nullptr;
};

// ANTI_ALIASING_TEXEL_SIZE (one texel of the input in texture coordinates) in its GL form (the
// program must be current). False for any other semantic or while the set is not built.
bool setAntiAliasingUniform(const AntiAliasingSet& set, UniformSemantic semantic, int location);
// The texture behind ANTI_ALIASING_INPUT_TEXTURE, or null.
Texture* antiAliasingTexture(const AntiAliasingSet& set, UniformSemantic semantic);

}  // namespace Orvanta
