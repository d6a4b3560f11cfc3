#include "YardLayout.h"

#include "MeshBuilder.h"

#include <cmath>

namespace Orvanta {

Float3 YardFrame::toWorld(Float3 local) const
{
    return rotate(yaw(yawAngle), local) + origin;
}

Quaternion YardFrame::orientation(float extraYaw) const
{
    return yaw(yawAngle + extraYaw);
}

YardFrame kindergartenYard()
{
    // The start camera stands at (12.504345, 6.255634, -6.039891) looking along about
    // (-0.62, 0.29, 0.73); the yard's +z follows that direction on the ground.
    YardFrame frame;
    frame.origin = Float3{12.504345f, 0.0f, -6.039891f};
    frame.yawAngle = std::atan2(-0.62f, 0.73f);
    return frame;
}

}  // namespace Orvanta
