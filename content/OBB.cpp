#include "content/OBB.h"

namespace Orvanta {

// The base constructor's transform update runs before this class exists, so it cannot reach
// transformChanged() here: worldCorners stay zero until the box is attached or moved.
OBB::OBB(Float3 lo, Float3 hi)
    : localCorners{{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z},
                   {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}}
{
}

void OBB::transformChanged()
{
    for (int i = 0; i < 8; ++i)
        worldCorners[i] = transformPoint(worldMatrix, localCorners[i]);
}

}  // namespace Orvanta
