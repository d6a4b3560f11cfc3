#pragma once
#include "content/Object.h"
#include "platform/gl/GlExtensions.h"

#include <cstdint>

namespace Orvanta {

// Number of indices a submesh draws: its inclusive index range.
inline GLsizei submeshIndexCount(const Submesh& submesh)
{
    return static_cast<GLsizei>(submesh.lastIndex - submesh.firstIndex + 1);
}
// Byte offset of the submesh's first index in the object's 32-bit index buffer.
inline uintptr_t submeshIndexOffset(const Submesh& submesh)
{
    return static_cast<uintptr_t>(submesh.firstIndex) * sizeof(uint32_t);
}

// Binds the object's index buffer as the element array and its vertex buffer as the array
// buffer; the caller then points the shader's attributes at the 56-byte vertex layout.
void bindObjectBuffers(const Object& object);
void unbindObjectBuffers();
enum class FaceSides { ByMaterial, Both };

// Draws the submesh's triangles from the bound buffers. A double-sided material, or any with
// FaceSides::Both, is drawn with face culling off; culling is switched on again afterwards.
void drawSubmesh(const Submesh& submesh, FaceSides sides = FaceSides::ByMaterial);

}  // namespace Orvanta
