#pragma once
// From a node's world transform to a scene instance: the engine places an object by position,
// orientation and a positive scale along the object's axes. A transform that shears or mirrors
// cannot be said that way; its linear part is then baked into a copy of the mesh.
#include "content/ObjectFile.h"
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

struct NodePlacement {
    Float3 position;
    Quaternion orientation;
    Float3 scale{1, 1, 1};
    bool baked = false;  // true: the instance is a pure translation of a transformed mesh copy
    Matrix4 linear;      // the transform's linear part (no translation), applied to the copy
};

// Decomposes world = translation · rotation · diag(scale) when its axes are orthogonal and it
// keeps handedness; otherwise returns a baked placement at world's translation.
NodePlacement placeNode(const Matrix4& world);

// The transform the importer puts above the model's root: a turn that brings the source's up
// axis ('y' or 'z') to the engine's +y, then a uniform scale.
Matrix4 importRootTransform(float scale, char upAxis);

// The rotation whose matrix has the three unit columns (x, y, z axes of a right-handed frame).
Quaternion quaternionFromAxes(Float3 x, Float3 y, Float3 z);

// Applies a linear transform to mesh vertices: positions by the matrix, normals by its inverse
// transpose, tangents and binormals by the matrix (frames made orthonormal again), and reverses
// every triangle when the transform mirrors so that the winding stays counter-clockwise outside.
void bakeLinearTransform(const Matrix4& linear, std::vector<ObjectVertex>& vertices, std::vector<uint32_t>& indices);

}  // namespace Orvanta
