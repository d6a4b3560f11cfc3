#include "renderer/IrradianceProbePass.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

namespace {

using Field = IrradianceProbeField;

// The grid's values are the pass's own: set by name on its program, not through the engine's
// semantics.
void setUniform(const ShaderProgram& program, const char* name, Float3 value)
{
    const GLint location = glGetUniformLocationARB(program.program, name);
    if (location >= 0)
        glUniform3fARB(location, value.x, value.y, value.z);
}

void setUniform(const ShaderProgram& program, const char* name, float x, float y)
{
    const GLint location = glGetUniformLocationARB(program.program, name);
    if (location >= 0)
        glUniform2fARB(location, x, y);
}

void setUniform(const ShaderProgram& program, const char* name, float value)
{
    const GLint location = glGetUniformLocationARB(program.program, name);
    if (location >= 0)
        glUniform1fARB(location, value);
}

void setSampler(const ShaderProgram& program, const char* name, int unit)
{
    const GLint location = glGetUniformLocationARB(program.program, name);
    if (location >= 0)
        glUniform1iARB(location, unit);
}

}  // namespace

void drawIrradianceProbes(const PassContext& context, IrradianceProbeSet& set, const IrradianceProbeInputs& inputs)
{
    if (!set.field || !set.program)
        return;
    uploadIrradianceProbes(set, context.textureUnits);
    const Field& field = *set.field;
    beginFullScreenPass();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    ProgramInputs programInputs;
    programInputs.gBuffer = inputs.gBuffer;
    applyProgramUniforms(context, *set.program, programInputs);
    const ShaderProgram& program = *set.program;
    const Field::Layout& l = field.layout();
    context.textureUnits.bind(IrradianceProbeSet::irradianceUnit, set.irradianceAtlas.get());
    context.textureUnits.bind(IrradianceProbeSet::distanceUnit, set.distanceAtlas.get());
    context.textureUnits.bind(IrradianceProbeSet::statesUnit, set.probeStates.get());
    setSampler(program, "probeIrradiance", IrradianceProbeSet::irradianceUnit);
    setSampler(program, "probeDistance", IrradianceProbeSet::distanceUnit);
    setSampler(program, "probeStates", IrradianceProbeSet::statesUnit);
    setUniform(program, "gridOrigin", field.origin());
    setUniform(program, "gridCounts", Float3{float(l.countX), float(l.countY), float(l.countZ)});
    setUniform(program, "gridSpacing", l.spacing);
    setUniform(program, "selfShadowBias", IrradianceProbeField::selfShadowBiasCells);
    setUniform(program, "irradianceAtlasSize", float(IrradianceProbeSet::atlasWidth(Field::irradianceTile)),
               float(IrradianceProbeSet::atlasHeight(Field::irradianceTile)));
    setUniform(program, "distanceAtlasSize", float(IrradianceProbeSet::atlasWidth(Field::distanceTile)),
               float(IrradianceProbeSet::atlasHeight(Field::distanceTile)));
    drawFullScreenQuad({});
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glDisable(GL_BLEND);
    endFullScreenPass();
}

}  // namespace Orvanta
