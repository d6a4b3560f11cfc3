// The engine's vertex attribute semantics, in id order: the id is the position in this list, the
// name is the identifier as materials write it, and the float count is the attribute's share of
// the interleaved vertex (gpu/Semantics.h, vertexLayout). Including files define
// ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(name, floats) to expand each entry; the enum, the name table
// and the vertex layout are all made from this one list.
ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(VERTEX_POSITION, 3)
ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(VERTEX_NORMAL, 3)
ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(VERTEX_TANGENT, 3)
ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(VERTEX_BINORMAL, 3)
ORVANTA_VERTEX_ATTRIBUTE_SEMANTIC(VERTEX_TEXCOORD, 2)
