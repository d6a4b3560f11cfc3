#pragma once
// Mesh fixes the importer applies to every source mesh, independent of the reading library.
#include "content/ObjectFile.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace Orvanta {

// Area-weighted face normals summed per vertex and normalised (zero for a vertex that only
// degenerate triangles use): the stand-in for normals a source gives as zero or not-a-number.
std::vector<Float3> faceNormalsPerVertex(const std::vector<ObjectVertex>& vertices,
                                         const std::vector<uint32_t>& indices);

// Makes a vertex's frame orthonormal around its normal. The normal is normalised (a zero or
// non-finite one becomes fallbackNormal, or +y when that is unusable too); the tangent loses its
// part along the normal (a tangent that is unusable or parallel to the normal becomes some
// perpendicular); the binormal becomes cross(normal, tangent) or its opposite, whichever side
// the incoming binormal points to, so that mirrored texture mappings keep their handedness.
// Returns false when the normal had to be replaced.
bool completeTangentFrame(ObjectVertex& vertex, Float3 fallbackNormal);

// Reverses every triangle whose counter-clockwise face normal points away from the sum of its
// corners' normals, so that front faces are the sides the normals call outside. Degenerate
// triangles are left as they are. Returns the number reversed.
size_t orientTrianglesToNormals(const std::vector<ObjectVertex>& vertices, std::vector<uint32_t>& indices);

// Texture coordinates for a mesh that has none: the positions projected onto the plane of the two
// axes along which the mesh's box is largest, scaled by the larger of the two extents so that the
// mapping keeps proportions and covers [0, 1] along the longer axis.
std::vector<std::pair<float, float>> planarTexCoords(const std::vector<Float3>& positions);

}  // namespace Orvanta
