#include "content/Object.h"
#include "content/ObjectInstance.h"

namespace Orvanta {

ObjectInstance* createObjectInstance(const std::string& path, Float3 position, Float3 scale, Quaternion orientation)
{
    Object* object = findOrLoadObject(path);
    if (!object)
        return nullptr;
    return new ObjectInstance(object, position, scale, orientation);
}

}  // namespace Orvanta
