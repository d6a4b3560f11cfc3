#include "renderer/PassContext.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "renderer/GBufferInterface.h"
#include "renderer/LightPropagationVolumeUniforms.h"

#include <string>

namespace Orvanta {

namespace {

// The inputs' values over the frame's: a G-buffer semantic is answered by the named buffer alone
// (a texture it lacks stays unbound rather than falling back to the rasterised one's).
class ProgramInputSource : public UniformValueSource {
public:
    ProgramInputSource(UniformValueSource& frameValues, const ProgramInputs& programInputs)
        : frame(frameValues), inputs(programInputs)
    {
    }

    bool setUniform(UniformSemantic semantic, int location, const UniformContext& context) override
    {
        for (const SemanticFloat& given : inputs.floats)
            if (given.semantic == semantic) {
                glUniform1fARB(location, given.value);
                return true;
            }
        if (inputs.volumes && setLightPropagationVolumeUniform(*inputs.volumes, inputs.volume, semantic, location))
            return true;
        return frame.setUniform(semantic, location, context);
    }

    Texture* texture(UniformSemantic semantic, const UniformContext& context) override
    {
        for (const SemanticTexture& given : inputs.textures)
            if (given.semantic == semantic)
                return given.texture;
        if (inputs.gBuffer && isGBufferSemantic(semantic))
            return gBufferTexture(*inputs.gBuffer, semantic);
        if (inputs.volumes)
            if (Texture* volumeTexture = lightPropagationVolumeTexture(*inputs.volumes, inputs.volume,
                                                                       inputs.volumeSource, semantic))
                return volumeTexture;
        return frame.texture(semantic, context);
    }

    void bindTextureUnit(int unit, Texture* texture) override { frame.bindTextureUnit(unit, texture); }

private:
    UniformValueSource& frame;
    const ProgramInputs& inputs;
};

}  // namespace

bool isGBufferSemantic(UniformSemantic semantic)
{
    switch (semantic) {
    case GBUFFER_COLOR_TEXTURE:
    case GBUFFER_NORMAL_TEXTURE:
    case GBUFFER_POSITION_TEXTURE:
    case GBUFFER_GEOMETRY_NORMAL_TEXTURE:
    case RAYTRACING_RAYS_ORIGINS_TEXTURE:
    case RAYTRACING_RAYS_DIRECTIONS_TEXTURE:
        return true;
    default:
        return false;
    }
}

Texture* gBufferTexture(GBufferInterface& buffer, UniformSemantic semantic)
{
    switch (semantic) {
    case GBUFFER_COLOR_TEXTURE:
        return buffer.colorTexture();
    case GBUFFER_NORMAL_TEXTURE:
        return buffer.normalTexture();
    case GBUFFER_POSITION_TEXTURE:
        return buffer.positionTexture();
    case GBUFFER_GEOMETRY_NORMAL_TEXTURE:
        return buffer.geometryNormalTexture();
    case RAYTRACING_RAYS_ORIGINS_TEXTURE:
        return buffer.rayOriginsTexture();
    case RAYTRACING_RAYS_DIRECTIONS_TEXTURE:
        return buffer.rayDirectionsTexture();
    default:
        return nullptr;
    }
}

ProgramInputs& ProgramInputs::with(UniformSemantic semantic, Texture* texture)
{
    for (SemanticTexture& slot : textures)
        if (slot.semantic == SemanticNone) {
            slot = {semantic, texture};
            return *this;
        }
    // More than a draw may hand: a fault of the pass, logged so that its tests see it.
    logError(std::string("program inputs: no free texture slot for ") + uniformSemanticName(semantic));
    return *this;
}

ProgramInputs& ProgramInputs::with(UniformSemantic semantic, float value)
{
    for (SemanticFloat& slot : floats)
        if (slot.semantic == SemanticNone) {
            slot = {semantic, value};
            return *this;
        }
    logError(std::string("program inputs: no free number slot for ") + uniformSemanticName(semantic));
    return *this;
}

void SceneDrawing::drawScene(ScenePassKind kind, SceneView& view)
{
    drawScene(kind, view, ProgramInputs{});
}

void applyProgramUniforms(const PassContext& context, const ShaderProgram& program, const ProgramInputs& inputs)
{
    applyMaterialUniforms(context.uniforms, inputs, nullptr, nullptr, program);
}

void applyMaterialUniforms(UniformValueSource& frameValues, const ProgramInputs& inputs, const MaterialPass* pass,
                           const SubmeshMaterial* submesh, const ShaderProgram& program)
{
    ProgramInputSource source(frameValues, inputs);
    applyPassUniforms(pass, submesh, &source, program, inputs.light);
}

}  // namespace Orvanta
