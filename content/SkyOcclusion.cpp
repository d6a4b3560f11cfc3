#include "content/SkyOcclusion.h"

namespace Orvanta {

std::vector<Float3>& skyOcclusionCorners()
{
    static std::vector<Float3> corners;
    return corners;
}

Float3 parallelogramFourthCorner(Float3 corner0, Float3 corner1, Float3 corner2)
{
    return corner0 + corner2 - corner1;
}

OcclusionQuad occlusionParallelogram(Float3 corner0, Float3 corner1, Float3 corner2)
{
    OcclusionQuad quad;
    quad.corners[0] = corner0;
    quad.corners[1] = corner1;
    quad.corners[2] = corner2;
    quad.corners[3] = parallelogramFourthCorner(corner0, corner1, corner2);
    return quad;
}

}  // namespace Orvanta
