#pragma once
#include "scene/Math.h"

#include <vector>

namespace Orvanta {

// Base of everything placed in the scene. Keeps a local transform relative to an optional parent
// and the derived world transform; after every setter the world members, worldMatrix and those of
// all children agree with the local members.
class MovableEntity {
public:
    MovableEntity(Float3 position = {}, Float3 scale = {1, 1, 1}, Quaternion orientation = {});
    virtual ~MovableEntity() = default;

    // World position; callers follow it with updateTransform().
    void setPosition(Float3 p);
    // World orientation; updates the transform.
    void setOrientation(Quaternion q);
    // Turns in world space: orientation = r ⊗ orientation; updates the transform.
    void rotate(Quaternion r);
    // Recomputes the world members from the local ones (with a parent), rebuilds worldMatrix,
    // calls transformChanged(), then updates every child in order.
    void updateTransform();
    // Attaches a child: its constructed values become offsets relative to this entity.
    void addChild(MovableEntity* child);

    // Called once per updateTransform(), after worldMatrix is rebuilt, before the children.
    // The base constructor's update runs before a derived class exists, so it reaches only this
    // empty body: a subclass whose override derives data (box corners) calls updateTransform()
    // at the end of its own constructor.
    virtual void transformChanged() {}

    Float3 localPosition;
    Float3 position;
    Quaternion localOrientation;
    Quaternion orientation;
    Float3 localScale{1, 1, 1};
    Float3 scale{1, 1, 1};
    Matrix4 worldMatrix;
    MovableEntity* parent = nullptr;
    std::vector<MovableEntity*> children;

private:
    void deriveLocalOrientation();
};

}  // namespace Orvanta
