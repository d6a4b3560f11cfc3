#pragma once
#include "ImportedModel.h"

#include <string>

namespace Orvanta {

// Reads any model file the Open Asset Import Library reads (glTF 2.0 text and binary, OBJ with
// MTL, PLY, FBX, Collada ...) into triangle meshes in the engine's vertex layout, their materials
// and the nodes that place them. Meshes without normals get smooth ones (edges sharper than 80°
// stay sharp), meshes without texture coordinates a planar mapping, and every mesh tangent frames
// from the library's tangent-space step; each such repair is noted once. Point and line meshes are
// left out (noted). False with a message when the file cannot be read, is not a model the library
// knows, is damaged, or holds no triangles.
bool readModel(const std::string& path, ImportedModel& model, ImportNotes& notes, std::string& error);

}  // namespace Orvanta
