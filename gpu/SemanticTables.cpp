#include "gpu/Semantics.h"

namespace Orvanta {

namespace {

enum SemanticKind : bool { Value = false, Sampler = true };
const bool samplerSemantics[UNIFORM_SEMANTIC_COUNT] = {
#define ORVANTA_UNIFORM_SEMANTIC(name, kind) kind,
#include "gpu/UniformSemantics.inl"
#undef ORVANTA_UNIFORM_SEMANTIC
};

const char* const attributeNames[VERTEX_ATTRIBUTE_SEMANTIC_COUNT] = {
#define ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(name, floats) #name,
#include "gpu/VertexAttributeSemantics.inl"
#undef ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC
};

int32_t findIn(const char* const* names, int32_t count, const std::string& name)
{
    for (int32_t i = 0; i < count; ++i)
        if (name == names[i])
            return i;
    return SemanticNone;
}

constexpr int32_t kVertexFloats = 0
#define ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(name, floats) +floats
#include "gpu/VertexAttributeSemantics.inl"
#undef ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC
    ;
static_assert(kVertexFloats * int32_t(sizeof(float)) == VertexStride,
              "the attribute list and the vertex stride disagree");

struct Layout {
    VertexLayoutEntry entries[VertexLayoutEntryCount];
    Layout()
    {
        const int32_t components[VertexLayoutEntryCount] = {
#define ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(name, floats) floats,
#include "gpu/VertexAttributeSemantics.inl"
#undef ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC
        };
        int32_t offset = 0;
        for (int32_t i = 0; i < VertexLayoutEntryCount; ++i) {
            entries[i] = {i, components[i], offset};
            offset += components[i] * static_cast<int32_t>(sizeof(float));
        }
    }
};

const Layout& layout()
{
    static const Layout built;
    return built;
}

}  // namespace

const char* uniformSemanticName(int32_t semantic)
{
    return semantic >= 0 && semantic < UNIFORM_SEMANTIC_COUNT ? kUniformSemanticNames[semantic] : nullptr;
}

const char* attributeSemanticName(int32_t semantic)
{
    return semantic >= 0 && semantic < VERTEX_ATTRIBUTE_SEMANTIC_COUNT ? attributeNames[semantic] : nullptr;
}

int32_t findUniformSemantic(const std::string& name)
{
    return findIn(kUniformSemanticNames, UNIFORM_SEMANTIC_COUNT, name);
}

int32_t findAttributeSemantic(const std::string& name)
{
    return findIn(attributeNames, VERTEX_ATTRIBUTE_SEMANTIC_COUNT, name);
}

bool isSamplerSemantic(int32_t semantic)
{
    return semantic >= 0 && semantic < UNIFORM_SEMANTIC_COUNT && samplerSemantics[semantic];
}

const VertexLayoutEntry* vertexLayout()
{
    return layout().entries;
}

const VertexLayoutEntry* findVertexLayoutEntry(int32_t semantic)
{
    for (const VertexLayoutEntry& entry : layout().entries)
        if (entry.semantic == semantic)
            return &entry;
    return nullptr;
}

}  // namespace Orvanta
