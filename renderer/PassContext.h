#pragma once
#include "gpu/Semantics.h"
#include "renderer/LightPropagationVolumeLayout.h"
#include "renderer/ScenePassKind.h"

namespace Orvanta {

class FrameBufferStack;
class GBufferInterface;
class ScissorStack;
class Texture;
class TextureUnitTable;
struct LightPropagationVolumeSet;
struct ProgramInputs;
struct SceneView;
struct ShaderProgram;

// Draws a view's visible instances with the material passes of one scene pass kind.
class SceneDrawing {
public:
    virtual ~SceneDrawing() = default;
    // The programs read what `inputs` names over the frame-wide values.
    virtual void drawScene(ScenePassKind kind, SceneView& view, const ProgramInputs& inputs) = 0;
    // With the frame-wide values alone.
    void drawScene(ScenePassKind kind, SceneView& view);
};

// What every pass draws through: the frame's framebuffer and scissor stacks, its texture units,
// the scene's instances and the frame-wide uniform values (camera, sun, sky, shadow maps, the
// rasterised G-buffer, the HDR targets).
struct PassContext {
    FrameBufferStack& frameBuffers;
    ScissorStack& scissors;
    TextureUnitTable& textureUnits;
    SceneDrawing& scene;
    UniformValueSource& uniforms;
};

// A value one draw hands its program for a single semantic, ahead of the frame's value.
struct SemanticTexture {
    UniformSemantic semantic = static_cast<UniformSemantic>(SemanticNone);
    Texture* texture = nullptr;
};
struct SemanticFloat {
    UniformSemantic semantic = static_cast<UniformSemantic>(SemanticNone);
    float value = 0.0f;
};

// The values an engine program reads that differ between the draws of one frame, named by the
// pass that draws: the G-buffer it lights (null: the rasterised one), the light propagation
// volume it works on (none while `volumes` is null) and which of its targets is the propagation's
// source, the light it applies, and the textures and numbers of the pass's own semantics (the
// adaptation target a draw reads, the ping-pong image a correction reads). A draw reads what its
// inputs say, never a set field changed before it.
struct ProgramInputs {
    static constexpr int maxTextures = 2;
    static constexpr int maxFloats = 1;

    GBufferInterface* gBuffer = nullptr;
    const LightPropagationVolumeSet* volumes = nullptr;
    int volume = 0;
    VolumeTarget volumeSource = VolumeTarget::Accumulation;
    const Light* light = nullptr;
    SemanticTexture textures[maxTextures];
    SemanticFloat floats[maxFloats];

    // Adds a semantic's value; the first free slot takes it (one past the slots logs an error).
    ProgramInputs& with(UniformSemantic semantic, Texture* texture);
    ProgramInputs& with(UniformSemantic semantic, float value);
};

// The G-buffer semantics (the depth excepted: it is always the rasterised depth) and a buffer's
// texture behind one of them, null for any other semantic.
bool isGBufferSemantic(UniformSemantic semantic);
Texture* gBufferTexture(GBufferInterface& buffer, UniformSemantic semantic);

// Makes an engine program current and feeds its uniforms: the semantics the inputs name from
// them, every other from the context's frame-wide values.
void applyProgramUniforms(const PassContext& context, const ShaderProgram& program, const ProgramInputs& inputs);
// The same for a material pass of a submesh drawn in the scene.
void applyMaterialUniforms(UniformValueSource& frameValues, const ProgramInputs& inputs, const MaterialPass* pass,
                           const SubmeshMaterial* submesh, const ShaderProgram& program);

}  // namespace Orvanta
