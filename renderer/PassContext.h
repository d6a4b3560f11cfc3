#pragma once
#include "gpu/Semantics.h"
#include "renderer/ScenePassKind.h"

namespace Orvanta {

class FrameBufferStack;
class GBufferInterface;
class ScissorStack;
class Texture;
class TextureUnitTable;
struct LightPropagationVolumeSet;
struct PingPongTargets;
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

// The values an engine program reads that differ between the draws of one frame, named by the
// pass that draws: the G-buffer it lights (null: the rasterised one), the light propagation
// volume it works on (none while `volumes` is null), the ping-pong targets whose last finished
// element the border correction reads (null: the reflections'), and the light it applies.
struct ProgramInputs {
    GBufferInterface* gBuffer = nullptr;
    const LightPropagationVolumeSet* volumes = nullptr;
    int volume = 0;
    const PingPongTargets* tracedTargets = nullptr;
    const Light* light = nullptr;
    // The ray-traced composite blends this frame's lit refractions in (RAYTRACING_REFRACTIONS_ON).
    bool refractionsLit = false;
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
