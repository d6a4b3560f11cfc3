#include "gpu/Semantics.h"

#include "app/GlExtensions.h"
#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "scene/Math.h"

#include <cstring>

namespace Orvanta {

namespace {

const char* const uniformNames[UNIFORM_SEMANTIC_COUNT] = {
    "MATERIAL_COLOR_TEXTURE", "MATERIAL_NORMAL_TEXTURE", "MATERIAL_SPECULAR_TEXTURE", "MATERIAL_TEXTURE",
    "MATERIAL_SPECULAR_POWER", "MATERIAL_ALPHA_TEST_TRESHOLD", "CAMERA_POSITION", "LIGHT_POSITION",
    "LIGHT_RADIUS", "LIGHT_COLOR", "LIGHT_DIRECTION", "SUN_LIGHT_DIRECTION",
    "RAYLEIGH_PARTICLES_CONCENTRATION", "MIE_PARTICLES_CONCENTRATION",
    "RAYLEIGH_COLOR_SCATTERING_COEFFICIENTS", "MIE_COLOR_SCATTERING_COEFFICIENTS", "MIE_PHASE_PARAMETER_G",
    "AERIAL_PERSPECTIVE_FOG_DENSITY", "SKY_MAP_TEXTURE", "SHADOW_MATRIX_NX", "SHADOW_MATRIX_PX",
    "SHADOW_MATRIX_NY", "SHADOW_MATRIX_PY", "SHADOW_MATRIX_NZ", "SHADOW_MATRIX_PZ", "SHADOW_MAP_NX",
    "SHADOW_MAP_PX", "SHADOW_MAP_NY", "SHADOW_MAP_PY", "SHADOW_MAP_NZ", "SHADOW_MAP_PZ",
    "CASCADED_SHADOW_MAP0_MATRIX", "CASCADED_SHADOW_MAP1_MATRIX", "CASCADED_SHADOW_MAP2_MATRIX",
    "CASCADED_SHADOW_MAP3_MATRIX", "CASCADED_SHADOW_MAP4_MATRIX", "CASCADED_SHADOW_MAP0_SPLIT_DISTANCE",
    "CASCADED_SHADOW_MAP1_SPLIT_DISTANCE", "CASCADED_SHADOW_MAP2_SPLIT_DISTANCE",
    "CASCADED_SHADOW_MAP3_SPLIT_DISTANCE", "CASCADED_SHADOW_MAP4_SPLIT_DISTANCE",
    "CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS", "CASCADED_SHADOW_MAP1_UV_SPACE_SUN_LIGHT_RADIUS",
    "CASCADED_SHADOW_MAP2_UV_SPACE_SUN_LIGHT_RADIUS", "CASCADED_SHADOW_MAP3_UV_SPACE_SUN_LIGHT_RADIUS",
    "CASCADED_SHADOW_MAP4_UV_SPACE_SUN_LIGHT_RADIUS", "CASCADED_SHADOW_MAP0", "CASCADED_SHADOW_MAP1",
    "CASCADED_SHADOW_MAP2", "CASCADED_SHADOW_MAP3", "CASCADED_SHADOW_MAP4", "OVERLAPPED_SHADOW_MAP0_MATRIX",
    "OVERLAPPED_SHADOW_MAP1_MATRIX", "OVERLAPPED_SHADOW_MAP2_MATRIX", "OVERLAPPED_SHADOW_MAP0_SPLIT_DISTANCE",
    "OVERLAPPED_SHADOW_MAP1_SPLIT_DISTANCE", "OVERLAPPED_SHADOW_MAP2_SPLIT_DISTANCE",
    "OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS", "OVERLAPPED_SHADOW_MAP1_UV_SPACE_SUN_LIGHT_RADIUS",
    "OVERLAPPED_SHADOW_MAP2_UV_SPACE_SUN_LIGHT_RADIUS", "OVERLAPPED_SHADOW_MAP0", "OVERLAPPED_SHADOW_MAP1",
    "OVERLAPPED_SHADOW_MAP2", "SOFT_SHADOW_MAPPING_SAMPLING_VECTORS",
    "SOFT_SHADOW_MAPPING_NUM_OCCLUDER_SEARCH_SAMPLES", "SOFT_SHADOW_MAPPING_NUM_SAMPLES",
    "GBUFFER_COLOR_TEXTURE", "GBUFFER_NORMAL_TEXTURE", "GBUFFER_GEOMETRY_NORMAL_TEXTURE",
    "GBUFFER_DEPTH_TEXTURE", "GBUFFER_POSITION_TEXTURE", "RAYTRACING_CURRENT_EFFECT_TEXTURE",
    "RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS", "RAYTRACING_RAYS_ORIGINS_TEXTURE",
    "RAYTRACING_RAYS_DIRECTIONS_TEXTURE", "RAYTRACING_REFLECTIONS_TEXTURE", "RAYTRACING_REFRACTIONS_TEXTURE",
    "LIGHT_MASK_TEXTURE", "SHADOW_SAMPLING_NOISE_TEXTURE", "FRUSTUM_TOP_LEFT_VECTOR",
    "FRUSTUM_TOP_RIGHT_VECTOR", "FRUSTUM_BOTTOM_LEFT_VECTOR", "FRUSTUM_BOTTOM_RIGHT_VECTOR", "SSAO_TEXTURE",
    "SSAO_SAMPLING_VECTORS", "SSAO_NUM_SAMPLES", "SSAO_DISTANCE", "SSAO_INTENSITY",
    "SSAO_GAUSSIAN_BLUR_COEFFICIENTS", "SSAO_GAUSSIAN_BLUR_NUM_SAMPLES", "SSAO_BLUR_RADIUS",
    "REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE", "REFLECTIVE_SHADOW_MAP_NORMAL_TEXTURE",
    "REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE", "REFLECTIVE_SHADOW_MAP_INVERTED_MATRIX",
    "LIGHT_PROPAGATION_VOLUME_TEXTURE0", "LIGHT_PROPAGATION_VOLUME_TEXTURE1",
    "LIGHT_PROPAGATION_VOLUME_TEXTURE2", "LIGHT_PROPAGATION_VOLUME_TEXTURE3",
    "LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE0", "LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE1",
    "LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE2", "LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE3",
    "LIGHT_PROPAGATION_VOLUME_WIDTH_RESOLUTION", "LIGHT_PROPAGATION_VOLUME_HEIGHT_RESOLUTION",
    "LIGHT_PROPAGATION_VOLUME_LENGTH_RESOLUTION", "LIGHT_PROPAGATION_VOLUME_WORLDSPACE_TEXEL_SIZE",
    "LIGHT_PROPAGATION_VOLUME_LIGHTS_WEIGHT", "LIGHT_PROPAGATION_VOLUME_POSITION",
    "LIGHT_PROPAGATION_VOLUME_WIDTH", "LIGHT_PROPAGATION_VOLUME_HEIGHT", "LIGHT_PROPAGATION_VOLUME_LENGTH",
    "VIEWPORT_ASPECT_RATIO", "HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE", "HDR_SCENE_AVERAGE_LUMINANCE_TEXTURE",
    "HDR_CURRENT_FRAME_LUMINANCE_TEXTURE", "HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE",
    "SKY_LIGHTING_VOLUME_TEXTURE0", "SKY_LIGHTING_VOLUME_TEXTURE1", "SKY_LIGHTING_VOLUME_TEXTURE2",
    "SKY_LIGHTING_VOLUME_TEXTURE3", "SKY_LIGHTING_VOLUME_TEXTURE4", "SKY_LIGHTING_VOLUME_TEXTURE5",
    "SKY_LIGHTING_VOLUME_TEXTURE6", "SKY_LIGHTING_VOLUME_WIDTH", "SKY_LIGHTING_VOLUME_HEIGHT",
    "SKY_LIGHTING_VOLUME_LENGTH", "SKY_LIGHTING_VOLUME_WORLDSPACE_TEXEL_SIZE", "SKY_LIGHTING_OCCLUSION_QUADS",
    "SKY_LIGHTING_NUM_OCCLUSION_QUADS", "SKY_LIGHTING_SAMPLING_VECTORS", "SKY_LIGHTING_NUM_SAMPLING_VECTORS",
    "ELAPSED_TIME", "OBJECT_TRANSFORM_MATRIX",
};

const char* const attributeNames[VERTEX_ATTRIBUTE_SEMANTIC_COUNT] = {
    "VERTEX_POSITION", "VERTEX_NORMAL", "VERTEX_TANGENT", "VERTEX_BINORMAL", "VERTEX_TEXCOORD",
};

const VertexLayoutEntry layout[VertexLayoutEntryCount] = {
    {VERTEX_POSITION, 3, 0}, {VERTEX_NORMAL, 3, 12}, {VERTEX_TANGENT, 3, 24},
    {VERTEX_BINORMAL, 3, 36}, {VERTEX_TEXCOORD, 2, 48},
};

bool startsWithGl(const std::string& name)
{
    return name.compare(0, 3, "gl_") == 0;
}

// "name[0]" and "name" name the same array uniform; drivers report either form.
std::string bareArrayName(const std::string& name)
{
    const std::string suffix = "[0]";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return name.substr(0, name.size() - suffix.size());
    return name;
}

const std::string* findPair(const std::vector<SemanticPair>& pairs, const std::string& name, bool uniform)
{
    std::string bare = uniform ? bareArrayName(name) : name;
    for (const SemanticPair& pair : pairs) {
        if (pair.first == name)
            return &pair.second;
        if (uniform && bareArrayName(pair.first) == bare)
            return &pair.second;
    }
    return nullptr;
}

std::string fetchName(GLint maxLength, GLsizei written, const std::vector<GLcharARB>& buffer)
{
    if (written < 0)
        written = 0;
    if (written > maxLength)
        written = maxLength;
    return std::string(buffer.data(), static_cast<size_t>(written));
}

}  // namespace

const char* uniformSemanticName(int32_t semantic)
{
    return semantic >= 0 && semantic < UNIFORM_SEMANTIC_COUNT ? uniformNames[semantic] : nullptr;
}

const char* attributeSemanticName(int32_t semantic)
{
    return semantic >= 0 && semantic < VERTEX_ATTRIBUTE_SEMANTIC_COUNT ? attributeNames[semantic] : nullptr;
}

int32_t findUniformSemantic(const std::string& name)
{
    for (int32_t i = 0; i < UNIFORM_SEMANTIC_COUNT; ++i)
        if (name == uniformNames[i])
            return i;
    return SemanticNone;
}

int32_t findAttributeSemantic(const std::string& name)
{
    for (int32_t i = 0; i < VERTEX_ATTRIBUTE_SEMANTIC_COUNT; ++i)
        if (name == attributeNames[i])
            return i;
    return SemanticNone;
}

bool isSamplerSemantic(int32_t semantic)
{
    switch (semantic) {
    case MATERIAL_COLOR_TEXTURE:
    case MATERIAL_NORMAL_TEXTURE:
    case MATERIAL_SPECULAR_TEXTURE:
    case MATERIAL_TEXTURE:
    case SKY_MAP_TEXTURE:
    case GBUFFER_COLOR_TEXTURE:
    case GBUFFER_NORMAL_TEXTURE:
    case GBUFFER_GEOMETRY_NORMAL_TEXTURE:
    case GBUFFER_DEPTH_TEXTURE:
    case GBUFFER_POSITION_TEXTURE:
    case RAYTRACING_CURRENT_EFFECT_TEXTURE:
    case RAYTRACING_RAYS_ORIGINS_TEXTURE:
    case RAYTRACING_RAYS_DIRECTIONS_TEXTURE:
    case RAYTRACING_REFLECTIONS_TEXTURE:
    case RAYTRACING_REFRACTIONS_TEXTURE:
    case LIGHT_MASK_TEXTURE:
    case SHADOW_SAMPLING_NOISE_TEXTURE:
    case SSAO_TEXTURE:
    case REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE:
    case REFLECTIVE_SHADOW_MAP_NORMAL_TEXTURE:
    case REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE:
        return true;
    default:
        break;
    }
    return (semantic >= SHADOW_MAP_NX && semantic <= SHADOW_MAP_PZ) ||
           (semantic >= CASCADED_SHADOW_MAP0 && semantic <= CASCADED_SHADOW_MAP4) ||
           (semantic >= OVERLAPPED_SHADOW_MAP0 && semantic <= OVERLAPPED_SHADOW_MAP2) ||
           (semantic >= LIGHT_PROPAGATION_VOLUME_TEXTURE0 &&
            semantic <= LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE3) ||
           (semantic >= HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE && semantic <= HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE) ||
           (semantic >= SKY_LIGHTING_VOLUME_TEXTURE0 && semantic <= SKY_LIGHTING_VOLUME_TEXTURE6);
}

const VertexLayoutEntry* vertexLayout()
{
    return layout;
}

const VertexLayoutEntry* findVertexLayoutEntry(int32_t semantic)
{
    for (const VertexLayoutEntry& entry : layout)
        if (entry.semantic == semantic)
            return &entry;
    return nullptr;
}

void buildBindings(ShaderProgram& program, const std::vector<SemanticPair>& pairs)
{
    program.attributeBindings.clear();
    program.uniformBindings.clear();

    GLint count = 0, maxLength = 0;
    glGetObjectParameterivARB(program.program, GL_OBJECT_ACTIVE_ATTRIBUTES_ARB, &count);
    glGetObjectParameterivARB(program.program, GL_OBJECT_ACTIVE_ATTRIBUTE_MAX_LENGTH_ARB, &maxLength);
    std::vector<GLcharARB> buffer(static_cast<size_t>(maxLength > 0 ? maxLength : 1) + 1, '\0');
    for (GLint i = 0; i < count; ++i) {
        GLsizei written = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttribARB(program.program, i, static_cast<GLsizei>(buffer.size()), &written, &size, &type,
                             buffer.data());
        AttributeBinding binding;
        binding.name = fetchName(static_cast<GLint>(buffer.size()), written, buffer);
        if (startsWithGl(binding.name)) {
            if (binding.name == "gl_Vertex") {
                binding.location = 0;
                binding.semantic = VERTEX_POSITION;
                binding.kind = FixedFunctionArray;
            } else if (binding.name == "gl_MultiTexCoord0") {
                binding.location = 0;
                binding.semantic = VERTEX_TEXCOORD;
                binding.kind = TexCoordArray;
            } else {
                continue;
            }
        } else {
            binding.location = glGetAttribLocationARB(program.program, binding.name.c_str());
            if (const std::string* semantic = findPair(pairs, binding.name, false))
                binding.semantic = findAttributeSemantic(*semantic);
            binding.kind = GenericAttribute;
        }
        program.attributeBindings.push_back(binding);
    }

    count = 0;
    maxLength = 0;
    glGetObjectParameterivARB(program.program, GL_OBJECT_ACTIVE_UNIFORMS_ARB, &count);
    glGetObjectParameterivARB(program.program, GL_OBJECT_ACTIVE_UNIFORM_MAX_LENGTH_ARB, &maxLength);
    buffer.assign(static_cast<size_t>(maxLength > 0 ? maxLength : 1) + 1, '\0');
    for (GLint i = 0; i < count; ++i) {
        GLsizei written = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniformARB(program.program, i, static_cast<GLsizei>(buffer.size()), &written, &size, &type,
                              buffer.data());
        UniformBinding binding;
        binding.name = fetchName(static_cast<GLint>(buffer.size()), written, buffer);
        if (startsWithGl(binding.name))
            continue;
        binding.location = glGetUniformLocationARB(program.program, binding.name.c_str());
        if (const std::string* semantic = findPair(pairs, binding.name, true))
            binding.semantic = findUniformSemantic(*semantic);
        program.uniformBindings.push_back(binding);
    }
}

void bindTextureToUnit(int unit, const Texture* texture)
{
    glActiveTextureARB(GL_TEXTURE0 + unit);
    if (texture)
        glBindTexture(texture->target(), texture->name);
    else
        glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTextureARB(GL_TEXTURE0);
}

void UniformValueSource::bindTextureUnit(int unit, Texture* texture)
{
    bindTextureToUnit(unit, texture);
}

namespace {

// The texture of a material-level sampler, or false when the semantic is not one of them.
bool materialTexture(int32_t semantic, const UniformContext& context, int& materialTextureCounter,
                     Texture*& texture)
{
    switch (semantic) {
    case MATERIAL_COLOR_TEXTURE:
        texture = context.submesh ? context.submesh->colorTexture : nullptr;
        return true;
    case MATERIAL_NORMAL_TEXTURE:
        texture = context.submesh ? context.submesh->normalTexture : nullptr;
        return true;
    case MATERIAL_SPECULAR_TEXTURE:
        texture = context.submesh ? context.submesh->specularTexture : nullptr;
        return true;
    case MATERIAL_TEXTURE: {
        texture = nullptr;
        size_t index = static_cast<size_t>(materialTextureCounter++);
        if (context.pass && index < context.pass->textures.size())
            texture = context.pass->textures[index];
        return true;
    }
    default:
        return false;
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
    int materialTextureCounter = 0;
    for (const UniformBinding& binding : program.uniformBindings) {
        int32_t semantic = binding.semantic;
        if (semantic == SemanticNone || semantic == OBJECT_TRANSFORM_MATRIX)
            continue;
        if (semantic < 0 || semantic >= UNIFORM_SEMANTIC_COUNT)
            continue;
        if (isSamplerSemantic(semantic)) {
            Texture* texture = nullptr;
            if (!materialTexture(semantic, context, materialTextureCounter, texture) && source)
                texture = source->texture(static_cast<UniformSemantic>(semantic), context);
            glUniform1iARB(binding.location, unit);
            // The unit table behind bindTextureUnit belongs to the renderer, which refuses units it
            // does not have; the counter itself indexes nothing here.
            if (source)
                source->bindTextureUnit(unit, texture);
            else
                bindTextureToUnit(unit, texture);
            ++unit;
            continue;
        }
        if (semantic == MATERIAL_SPECULAR_POWER) {
            if (submesh)
                glUniform1fARB(binding.location, submesh->specularPower);
            continue;
        }
        if (semantic == MATERIAL_ALPHA_TEST_TRESHOLD) {
            if (submesh && submesh->material)
                glUniform1fARB(binding.location, submesh->material->alphaTestTreshold);
            continue;
        }
        if (source)
            source->setUniform(static_cast<UniformSemantic>(semantic), binding.location, context);
    }
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
        const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(entry->offset));
        if (binding.kind == FixedFunctionArray) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(entry->components, GL_FLOAT, VertexStride, offset);
        } else if (binding.kind == TexCoordArray) {
            glClientActiveTextureARB(GL_TEXTURE0);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(entry->components, GL_FLOAT, VertexStride, offset);
        } else if (binding.location >= 0) {
            glEnableVertexAttribArrayARB(binding.location);
            glVertexAttribPointerARB(binding.location, entry->components, GL_FLOAT, GL_FALSE, VertexStride, offset);
        }
    }
}

void disableVertexAttributes(const ShaderProgram& program)
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    for (const AttributeBinding& binding : program.attributeBindings) {
        if (!findVertexLayoutEntry(binding.semantic))
            continue;
        if (binding.kind == FixedFunctionArray) {
            glDisableClientState(GL_VERTEX_ARRAY);
        } else if (binding.kind == TexCoordArray) {
            glClientActiveTextureARB(GL_TEXTURE0);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        } else if (binding.location >= 0) {
            glDisableVertexAttribArrayARB(binding.location);
        }
    }
}

}  // namespace Orvanta
