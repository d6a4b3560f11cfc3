#pragma once
#include "content/OBB.h"
#include "scene/MovableEntity.h"

#include <string>

namespace Orvanta {

struct Object;

// One placement of a shared Object in the world. Its OBB is its only child, so every transform
// update of the instance refreshes the box's world corners.
class ObjectInstance : public MovableEntity {
public:
    // object must not be null.
    ObjectInstance(Object* object, Float3 position, Float3 scale, Quaternion orientation);
    // The box's parent link points at this instance, so an instance cannot be copied or moved.
    ObjectInstance(const ObjectInstance&) = delete;
    ObjectInstance& operator=(const ObjectInstance&) = delete;

    Object* object = nullptr;  // shared, owned by the resource cache
    OBB obb;
};

// Finds or loads the object at path and places a new instance of it; the caller owns the result.
// Returns null (the object's problem already reported) when the object cannot be loaded.
ObjectInstance* createObjectInstance(const std::string& path, Float3 position, Float3 scale, Quaternion orientation);

}  // namespace Orvanta
