#pragma once
#include "scene/MovableEntity.h"

namespace Orvanta {

// An object's bounding box carried into world space for view culling. Attached as a child of the
// instance with an identity local transform, so its worldMatrix is the instance's.
//
// Corner order (consumers index corners by it): 0 (min.x, min.y, min.z), 1 (max.x, min.y, min.z),
// 2 (max.x, min.y, max.z), 3 (min.x, min.y, max.z), then 4-7 the same with max.y.
//
// Copying copies the whole entity state (parent link and children list included) and both corner
// sets, so a copy taken before attachment is indistinguishable from the box it was built from.
class OBB : public MovableEntity {
public:
    OBB(Float3 minCorner = {}, Float3 maxCorner = {});

    // Recomputes worldCorners from localCorners and the current worldMatrix.
    void transformChanged() override;

    Float3 localCorners[8];
    // All zero until the first transform update after construction.
    Float3 worldCorners[8];
};

}  // namespace Orvanta
