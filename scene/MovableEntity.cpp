#include "scene/MovableEntity.h"

namespace Orvanta {

MovableEntity::MovableEntity(Float3 p, Float3 s, Quaternion q)
{
    setPosition(p);
    orientation = q;
    deriveLocalOrientation();
    scale = s;
    localScale = parent ? divideComponents(s, parent->scale) : s;
    updateTransform();
}

void MovableEntity::setPosition(Float3 p)
{
    position = p;
    // The parent's scale is not divided out: offsets are in the parent's rotated frame only.
    localPosition = parent ? Orvanta::rotate(conjugate(parent->orientation), p - parent->position) : p;
}

void MovableEntity::deriveLocalOrientation()
{
    localOrientation = parent ? conjugate(parent->orientation) * orientation : orientation;
}

void MovableEntity::setOrientation(Quaternion q)
{
    orientation = q;
    deriveLocalOrientation();
    updateTransform();
}

void MovableEntity::rotate(Quaternion r)
{
    orientation = r * orientation;
    deriveLocalOrientation();
    updateTransform();
}

void MovableEntity::updateTransform()
{
    if (parent) {
        position = parent->position + Orvanta::rotate(parent->orientation, localPosition);
        orientation = parent->orientation * localOrientation;
        scale = multiplyComponents(localScale, parent->scale);
    }
    worldMatrix = composeTransform(position, orientation, scale);
    transformChanged();
    for (MovableEntity* child : children)
        child->updateTransform();
}

void MovableEntity::addChild(MovableEntity* child)
{
    child->parent = this;
    child->updateTransform();
    children.push_back(child);
}

}  // namespace Orvanta
