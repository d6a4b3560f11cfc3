#pragma once
#include "gpu/ShaderProgram.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace Orvanta {

class Light;
class Texture;
struct Matrix4;
struct MaterialPass;
struct SubmeshMaterial;

// Uniform semantics; the id is the position in the engine's fixed name table.
enum UniformSemantic : int32_t {
#define ORVANTA_UNIFORM_SEMANTIC(name, kind) name,
#include "gpu/UniformSemantics.inl"
#undef ORVANTA_UNIFORM_SEMANTIC
    UNIFORM_SEMANTIC_COUNT,
};

// The names of the uniform semantics by id, as materials and engine programs write them.
inline constexpr const char* kUniformSemanticNames[UNIFORM_SEMANTIC_COUNT] = {
#define ORVANTA_UNIFORM_SEMANTIC(name, kind) #name,
#include "gpu/UniformSemantics.inl"
#undef ORVANTA_UNIFORM_SEMANTIC
};

// Whether the `count` semantics from `first` on are one numbered run: each name is the first's
// with its one digit '0' counting up (CASCADED_SHADOW_MAP0_MATRIX, ..._MAP1_MATRIX, ...), or, with
// `endings` given, the first's with its ending replaced by each of them in turn (SHADOW_MAP_NX,
// ..._PX, ...). Evaluated at compile time by SemanticRun.
constexpr bool isSemanticRun(int32_t first, int32_t count, std::initializer_list<std::string_view> endings = {})
{
    if (first < 0 || count < 1 || first + count > UNIFORM_SEMANTIC_COUNT)
        return false;
    if (endings.size() != 0 && endings.size() != static_cast<size_t>(count))
        return false;
    const std::string_view base = kUniformSemanticNames[first];
    const size_t digit = base.find('0');
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view name = kUniformSemanticNames[first + i];
        if (endings.size() != 0) {
            const std::string_view ending = endings.begin()[i];
            const std::string_view firstEnding = endings.begin()[0];
            if (!base.ends_with(firstEnding) || !name.ends_with(ending) ||
                name.substr(0, name.size() - ending.size()) != base.substr(0, base.size() - firstEnding.size()))
                return false;
        } else if (digit == std::string_view::npos || count > 10 || name.size() != base.size() ||
                   name.substr(0, digit) != base.substr(0, digit) || name[digit] != char('0' + i) ||
                   name.substr(digit + 1) != base.substr(digit + 1)) {
            return false;
        }
    }
    return true;
}

// A run of semantics that a pass set indexes by their offset from the first (cascade i, volume
// texture i). A run is made at compile time and checks there that the list still holds it in
// order, so a semantic inserted into its middle breaks the build instead of silently shifting what
// an index reaches.
struct SemanticRun {
    int32_t first;
    int32_t count;
    consteval SemanticRun(int32_t firstSemantic, int32_t runLength,
                          std::initializer_list<std::string_view> endings = {})
        : first(firstSemantic), count(runLength)
    {
        if (!isSemanticRun(firstSemantic, runLength, endings))
            throw "the semantic list does not hold this run in order";
    }
    constexpr bool contains(int32_t semantic) const { return semantic >= first && semantic < first + count; }
    constexpr int index(int32_t semantic) const { return semantic - first; }
};

enum VertexAttributeSemantic : int32_t {
#define ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(name, floats) name,
#include "gpu/VertexAttributeSemantics.inl"
#undef ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC
    VERTEX_ATTRIBUTE_SEMANTIC_COUNT,
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
constexpr int32_t VertexLayoutEntryCount = VERTEX_ATTRIBUTE_SEMANTIC_COUNT;
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
void applyPassUniforms(const MaterialPass* pass, const SubmeshMaterial* submesh, UniformValueSource* source,
                       const ShaderProgram& program, const Light* light);
// Sets every OBJECT_TRANSFORM_MATRIX uniform of the (current) program to the instance transform.
void applyInstanceUniforms(const ShaderProgram& program, const Matrix4& transform);

// Switch the vertex arrays of the program's attributes on (reading from the buffer in the vertex
// layout) and off around a draw.
void enableVertexAttributes(uint32_t vertexBuffer, const ShaderProgram& program);
void disableVertexAttributes(const ShaderProgram& program);

}  // namespace Orvanta
