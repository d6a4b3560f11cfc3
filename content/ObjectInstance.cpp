#include "content/ObjectInstance.h"

#include "content/Object.h"

namespace Orvanta {

ObjectInstance::ObjectInstance(Object* object_, Float3 position, Float3 scale, Quaternion orientation)
    : MovableEntity(position, scale, orientation), object(object_), obb(object_->minCorner, object_->maxCorner)
{
    addChild(&obb);
}

}  // namespace Orvanta
