#pragma once
#include "gpu/ShaderProgram.h"

#include <cstdint>
#include <string>

namespace Orvanta {

class Light;
class Texture;
struct Matrix4;
struct MaterialPass;
struct SubmeshMaterial;

// Uniform semantics; the id is the position in the engine's fixed name table.
enum UniformSemantic : int32_t {
    MATERIAL_COLOR_TEXTURE = 0,
    MATERIAL_NORMAL_TEXTURE = 1,
    MATERIAL_SPECULAR_TEXTURE = 2,
    MATERIAL_TEXTURE = 3,
    MATERIAL_SPECULAR_POWER = 4,
    MATERIAL_ALPHA_TEST_TRESHOLD = 5,
    CAMERA_POSITION = 6,
    LIGHT_POSITION = 7,
    LIGHT_RADIUS = 8,
    LIGHT_COLOR = 9,
    LIGHT_DIRECTION = 10,
    SUN_LIGHT_DIRECTION = 11,
    RAYLEIGH_PARTICLES_CONCENTRATION = 12,
    MIE_PARTICLES_CONCENTRATION = 13,
    RAYLEIGH_COLOR_SCATTERING_COEFFICIENTS = 14,
    MIE_COLOR_SCATTERING_COEFFICIENTS = 15,
    MIE_PHASE_PARAMETER_G = 16,
    AERIAL_PERSPECTIVE_FOG_DENSITY = 17,
    SKY_MAP_TEXTURE = 18,
    SHADOW_MATRIX_NX = 19,
    SHADOW_MATRIX_PX = 20,
    SHADOW_MATRIX_NY = 21,
    SHADOW_MATRIX_PY = 22,
    SHADOW_MATRIX_NZ = 23,
    SHADOW_MATRIX_PZ = 24,
    SHADOW_MAP_NX = 25,
    SHADOW_MAP_PX = 26,
    SHADOW_MAP_NY = 27,
    SHADOW_MAP_PY = 28,
    SHADOW_MAP_NZ = 29,
    SHADOW_MAP_PZ = 30,
    CASCADED_SHADOW_MAP0_MATRIX = 31,
    CASCADED_SHADOW_MAP1_MATRIX = 32,
    CASCADED_SHADOW_MAP2_MATRIX = 33,
    CASCADED_SHADOW_MAP3_MATRIX = 34,
    CASCADED_SHADOW_MAP4_MATRIX = 35,
    CASCADED_SHADOW_MAP0_SPLIT_DISTANCE = 36,
    CASCADED_SHADOW_MAP1_SPLIT_DISTANCE = 37,
    CASCADED_SHADOW_MAP2_SPLIT_DISTANCE = 38,
    CASCADED_SHADOW_MAP3_SPLIT_DISTANCE = 39,
    CASCADED_SHADOW_MAP4_SPLIT_DISTANCE = 40,
    CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS = 41,
    CASCADED_SHADOW_MAP1_UV_SPACE_SUN_LIGHT_RADIUS = 42,
    CASCADED_SHADOW_MAP2_UV_SPACE_SUN_LIGHT_RADIUS = 43,
    CASCADED_SHADOW_MAP3_UV_SPACE_SUN_LIGHT_RADIUS = 44,
    CASCADED_SHADOW_MAP4_UV_SPACE_SUN_LIGHT_RADIUS = 45,
    CASCADED_SHADOW_MAP0 = 46,
    CASCADED_SHADOW_MAP1 = 47,
    CASCADED_SHADOW_MAP2 = 48,
    CASCADED_SHADOW_MAP3 = 49,
    CASCADED_SHADOW_MAP4 = 50,
    OVERLAPPED_SHADOW_MAP0_MATRIX = 51,
    OVERLAPPED_SHADOW_MAP1_MATRIX = 52,
    OVERLAPPED_SHADOW_MAP2_MATRIX = 53,
    OVERLAPPED_SHADOW_MAP0_SPLIT_DISTANCE = 54,
    OVERLAPPED_SHADOW_MAP1_SPLIT_DISTANCE = 55,
    OVERLAPPED_SHADOW_MAP2_SPLIT_DISTANCE = 56,
    OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS = 57,
    OVERLAPPED_SHADOW_MAP1_UV_SPACE_SUN_LIGHT_RADIUS = 58,
    OVERLAPPED_SHADOW_MAP2_UV_SPACE_SUN_LIGHT_RADIUS = 59,
    OVERLAPPED_SHADOW_MAP0 = 60,
    OVERLAPPED_SHADOW_MAP1 = 61,
    OVERLAPPED_SHADOW_MAP2 = 62,
    SOFT_SHADOW_MAPPING_SAMPLING_VECTORS = 63,
    SOFT_SHADOW_MAPPING_NUM_OCCLUDER_SEARCH_SAMPLES = 64,
    SOFT_SHADOW_MAPPING_NUM_SAMPLES = 65,
    GBUFFER_COLOR_TEXTURE = 66,
    GBUFFER_NORMAL_TEXTURE = 67,
    GBUFFER_GEOMETRY_NORMAL_TEXTURE = 68,
    GBUFFER_DEPTH_TEXTURE = 69,
    GBUFFER_POSITION_TEXTURE = 70,
    RAYTRACING_CURRENT_EFFECT_TEXTURE = 71,
    RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS = 72,
    RAYTRACING_RAYS_ORIGINS_TEXTURE = 73,
    RAYTRACING_RAYS_DIRECTIONS_TEXTURE = 74,
    RAYTRACING_REFLECTIONS_TEXTURE = 75,
    RAYTRACING_REFRACTIONS_TEXTURE = 76,
    LIGHT_MASK_TEXTURE = 77,
    SHADOW_SAMPLING_NOISE_TEXTURE = 78,
    FRUSTUM_TOP_LEFT_VECTOR = 79,
    FRUSTUM_TOP_RIGHT_VECTOR = 80,
    FRUSTUM_BOTTOM_LEFT_VECTOR = 81,
    FRUSTUM_BOTTOM_RIGHT_VECTOR = 82,
    SSAO_TEXTURE = 83,
    SSAO_SAMPLING_VECTORS = 84,
    SSAO_NUM_SAMPLES = 85,
    SSAO_DISTANCE = 86,
    SSAO_INTENSITY = 87,
    SSAO_GAUSSIAN_BLUR_COEFFICIENTS = 88,
    SSAO_GAUSSIAN_BLUR_NUM_SAMPLES = 89,
    SSAO_BLUR_RADIUS = 90,
    REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE = 91,
    REFLECTIVE_SHADOW_MAP_NORMAL_TEXTURE = 92,
    REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE = 93,
    REFLECTIVE_SHADOW_MAP_INVERTED_MATRIX = 94,
    LIGHT_PROPAGATION_VOLUME_TEXTURE0 = 95,
    LIGHT_PROPAGATION_VOLUME_TEXTURE1 = 96,
    LIGHT_PROPAGATION_VOLUME_TEXTURE2 = 97,
    LIGHT_PROPAGATION_VOLUME_TEXTURE3 = 98,
    LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE0 = 99,
    LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE1 = 100,
    LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE2 = 101,
    LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE3 = 102,
    LIGHT_PROPAGATION_VOLUME_WIDTH_RESOLUTION = 103,
    LIGHT_PROPAGATION_VOLUME_HEIGHT_RESOLUTION = 104,
    LIGHT_PROPAGATION_VOLUME_LENGTH_RESOLUTION = 105,
    LIGHT_PROPAGATION_VOLUME_WORLDSPACE_TEXEL_SIZE = 106,
    LIGHT_PROPAGATION_VOLUME_LIGHTS_WEIGHT = 107,
    LIGHT_PROPAGATION_VOLUME_POSITION = 108,
    LIGHT_PROPAGATION_VOLUME_WIDTH = 109,
    LIGHT_PROPAGATION_VOLUME_HEIGHT = 110,
    LIGHT_PROPAGATION_VOLUME_LENGTH = 111,
    VIEWPORT_ASPECT_RATIO = 112,
    HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE = 113,
    HDR_SCENE_AVERAGE_LUMINANCE_TEXTURE = 114,
    HDR_CURRENT_FRAME_LUMINANCE_TEXTURE = 115,
    HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE = 116,
    SKY_LIGHTING_VOLUME_TEXTURE0 = 117,
    SKY_LIGHTING_VOLUME_TEXTURE1 = 118,
    SKY_LIGHTING_VOLUME_TEXTURE2 = 119,
    SKY_LIGHTING_VOLUME_TEXTURE3 = 120,
    SKY_LIGHTING_VOLUME_TEXTURE4 = 121,
    SKY_LIGHTING_VOLUME_TEXTURE5 = 122,
    SKY_LIGHTING_VOLUME_TEXTURE6 = 123,
    SKY_LIGHTING_VOLUME_WIDTH = 124,
    SKY_LIGHTING_VOLUME_HEIGHT = 125,
    SKY_LIGHTING_VOLUME_LENGTH = 126,
    SKY_LIGHTING_VOLUME_WORLDSPACE_TEXEL_SIZE = 127,
    SKY_LIGHTING_OCCLUSION_QUADS = 128,
    SKY_LIGHTING_NUM_OCCLUSION_QUADS = 129,
    SKY_LIGHTING_SAMPLING_VECTORS = 130,
    SKY_LIGHTING_NUM_SAMPLING_VECTORS = 131,
    ELAPSED_TIME = 132,
    OBJECT_TRANSFORM_MATRIX = 133,
    UNIFORM_SEMANTIC_COUNT = 134,
};

enum VertexAttributeSemantic : int32_t {
    VERTEX_POSITION = 0,
    VERTEX_NORMAL = 1,
    VERTEX_TANGENT = 2,
    VERTEX_BINORMAL = 3,
    VERTEX_TEXCOORD = 4,
    VERTEX_ATTRIBUTE_SEMANTIC_COUNT = 5,
};

// Name of a semantic id, or null when the id is out of range.
const char* uniformSemanticName(int32_t semantic);
const char* attributeSemanticName(int32_t semantic);
// Exact, case-sensitive lookup; SemanticNone when the name is not in the table.
int32_t findUniformSemantic(const std::string& name);
int32_t findAttributeSemantic(const std::string& name);
// Semantics whose uniform receives a texture unit number.
bool isSamplerSemantic(int32_t semantic);

// The one interleaved vertex layout every vertex buffer uses: 14 floats, 56 bytes per vertex.
struct VertexLayoutEntry {
    int32_t semantic;
    int32_t components;
    int32_t offset;  // bytes from the start of the vertex
};
constexpr int32_t VertexStride = 56;
constexpr int32_t VertexLayoutEntryCount = 5;
const VertexLayoutEntry* vertexLayout();
// The layout entry of an attribute semantic, or null when it has none.
const VertexLayoutEntry* findVertexLayoutEntry(int32_t semantic);

// Fills attributeBindings, then uniformBindings, of a freshly linked program. For each variable the
// first pair naming it decides the semantic. An array uniform the driver reports as "name[0]" also
// matches a pair naming it "name", and the other way round.
void buildBindings(ShaderProgram& program, const std::vector<SemanticPair>& pairs);

// What a draw is fed from, besides the renderer's own state.
struct UniformContext {
    const MaterialPass* pass = nullptr;
    const SubmeshMaterial* submesh = nullptr;
    const Light* light = nullptr;
};

// The renderer's side of uniform feeding: it knows the values of the camera, light, shadow and
// post-processing semantics. A value it cannot supply is passed over.
class UniformValueSource {
public:
    virtual ~UniformValueSource() = default;
    // Sets a non-sampler uniform in its GL form; returns false when it has no value for it.
    virtual bool setUniform(UniformSemantic semantic, int location, const UniformContext& context) = 0;
    // The texture behind a sampler semantic, or null when there is none.
    virtual Texture* texture(UniformSemantic semantic, const UniformContext& context) = 0;
    // Binds a texture to a unit; the default makes the unit active and binds to the texture's target.
    virtual void bindTextureUnit(int unit, Texture* texture);
};

// Makes a unit active and binds a texture to it (at its own target).
void bindTextureToUnit(int unit, const Texture* texture);

// Makes the program current and feeds every bound uniform except OBJECT_TRANSFORM_MATRIX. Texture
// units go densely from 0 to the sampler uniforms in binding order; the n-th MATERIAL_TEXTURE
// uniform gets the pass's n-th texture. The material values (MATERIAL_* semantics) come from the
// pass and sub-mesh here; everything else is asked of the source, which may be null.
void applyPassUniforms(const MaterialPass* pass, const SubmeshMaterial* submesh,
                       UniformValueSource* source, const ShaderProgram& program, const Light* light);
// Sets every OBJECT_TRANSFORM_MATRIX uniform of the (current) program to the instance transform.
void applyInstanceUniforms(const ShaderProgram& program, const Matrix4& transform);

// Switch the vertex arrays of the program's attributes on (reading from the buffer in the vertex
// layout) and off around a draw.
void enableVertexAttributes(uint32_t vertexBuffer, const ShaderProgram& program);
void disableVertexAttributes(const ShaderProgram& program);

}  // namespace Orvanta
