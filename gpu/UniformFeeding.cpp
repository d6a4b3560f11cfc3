#include "gpu/Material.h"
#include "gpu/Semantics.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "scene/Math.h"

namespace Orvanta {

void bindTextureToUnit(int unit, const Texture* texture)
{
    glActiveTextureARB(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(texture->target(), texture->name);
}

void UniformValueSource::bindTextureUnit(int unit, Texture* texture)
{
    bindTextureToUnit(unit, texture);
}

namespace {

// The texture of a sampler semantic. materialTextureIndex counts MATERIAL_TEXTURE uniforms, so
// the n-th of them takes the pass's n-th texture even where an earlier one had none.
Texture* samplerTexture(UniformSemantic semantic, const UniformContext& context, UniformValueSource* source,
                        size_t& materialTextureIndex)
{
    switch (semantic) {
    case MATERIAL_COLOR_TEXTURE:
        return context.submesh ? context.submesh->colorTexture : nullptr;
    case MATERIAL_NORMAL_TEXTURE:
        return context.submesh ? context.submesh->normalTexture : nullptr;
    case MATERIAL_SPECULAR_TEXTURE:
        return context.submesh ? context.submesh->specularTexture : nullptr;
    case MATERIAL_TEXTURE: {
        size_t index = materialTextureIndex++;
        if (context.pass && index < context.pass->textures.size())
            return context.pass->textures[index];
        return nullptr;
    }
    default:
        return source ? source->texture(semantic, context) : nullptr;
    }
}

void setValue(UniformSemantic semantic, int location, const UniformContext& context, UniformValueSource* source)
{
    switch (semantic) {
    case MATERIAL_SPECULAR_POWER:
        if (context.submesh)
            glUniform1fARB(location, context.submesh->specularPower);
        return;
    case MATERIAL_ALPHA_TEST_TRESHOLD:
        if (context.submesh && context.submesh->material)
            glUniform1fARB(location, context.submesh->material->alphaTestTreshold);
        return;
    case MATERIAL_REFLECTANCE:
        if (context.submesh && context.submesh->material)
            glUniform1fARB(location, context.submesh->material->optics.reflectance);
        return;
    case MATERIAL_REFLECTION_TINT:
        if (context.submesh && context.submesh->material) {
            const Float3 tint = context.submesh->material->optics.reflectionTint;
            glUniform3fARB(location, tint.x, tint.y, tint.z);
        }
        return;
    case MATERIAL_INDEX_OF_REFRACTION:
        if (context.submesh && context.submesh->material)
            glUniform1fARB(location, context.submesh->material->optics.indexOfRefraction);
        return;
    case MATERIAL_IS_THIN:
        if (context.submesh && context.submesh->material)
            glUniform1fARB(location, context.submesh->material->optics.isThin ? 1.0f : 0.0f);
        return;
    case MATERIAL_TRANSMISSION_COLOR:
        if (context.submesh && context.submesh->material) {
            const Float3 color = context.submesh->material->optics.transmissionColor;
            glUniform3fARB(location, color.x, color.y, color.z);
        }
        return;
    default:
        if (source)
            source->setUniform(semantic, location, context);
        return;
    }
}

}  // namespace

void applyPassUniforms(const MaterialPass* pass, const SubmeshMaterial* submesh, UniformValueSource* source,
                       const ShaderProgram& program, const Light* light)
{
    glUseProgramObjectARB(program.program);
    UniformContext context;
    context.pass = pass;
    context.submesh = submesh;
    context.light = light;
    int unit = 0;
    size_t materialTextureIndex = 0;
    for (const UniformBinding& binding : program.uniformBindings) {
        if (binding.semantic < 0 || binding.semantic >= UNIFORM_SEMANTIC_COUNT ||
            binding.semantic == OBJECT_TRANSFORM_MATRIX)
            continue;
        auto semantic = static_cast<UniformSemantic>(binding.semantic);
        if (!isSamplerSemantic(semantic)) {
            setValue(semantic, binding.location, context, source);
            continue;
        }
        // A sampler without a texture is passed over and takes no unit.
        Texture* texture = samplerTexture(semantic, context, source, materialTextureIndex);
        if (!texture)
            continue;
        glUniform1iARB(binding.location, unit);
        if (source)
            source->bindTextureUnit(unit, texture);
        else
            bindTextureToUnit(unit, texture);
        ++unit;
    }
    if (unit > 0)
        glActiveTextureARB(GL_TEXTURE0);
}

void applyInstanceUniforms(const ShaderProgram& program, const Matrix4& transform)
{
    for (const UniformBinding& binding : program.uniformBindings)
        if (binding.semantic == OBJECT_TRANSFORM_MATRIX)
            glUniformMatrix4fvARB(binding.location, 1, GL_FALSE, transform.m);
}

void enableVertexAttributes(uint32_t vertexBuffer, const ShaderProgram& program)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer);
    for (const AttributeBinding& binding : program.attributeBindings) {
        const VertexLayoutEntry* entry = findVertexLayoutEntry(binding.semantic);
        if (!entry)
            continue;
        // With a buffer bound the pointer argument is a byte offset into it.
        const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(entry->offset));
        switch (binding.kind) {
        case FixedFunctionArray:
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(entry->components, GL_FLOAT, VertexStride, offset);
            break;
        case TexCoordArray:
            glClientActiveTextureARB(GL_TEXTURE0);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(entry->components, GL_FLOAT, VertexStride, offset);
            break;
        case GenericAttribute:
            if (binding.location < 0)
                break;
            glEnableVertexAttribArrayARB(static_cast<GLuint>(binding.location));
            glVertexAttribPointerARB(static_cast<GLuint>(binding.location), entry->components, GL_FLOAT, GL_FALSE,
                                     VertexStride, offset);
            break;
        default:
            break;
        }
    }
}

void disableVertexAttributes(const ShaderProgram& program)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    for (const AttributeBinding& binding : program.attributeBindings) {
        if (!findVertexLayoutEntry(binding.semantic))
            continue;
        switch (binding.kind) {
        case FixedFunctionArray:
            glDisableClientState(GL_VERTEX_ARRAY);
            break;
        case TexCoordArray:
            glClientActiveTextureARB(GL_TEXTURE0);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            break;
        case GenericAttribute:
            if (binding.location >= 0)
                glDisableVertexAttribArrayARB(static_cast<GLuint>(binding.location));
            break;
        default:
            break;
        }
    }
}

}  // namespace Orvanta
