#include "content/SkyOcclusion.h"

namespace Orvanta {

std::vector<Float3>& skyOcclusionCorners()
{
    static std::vector<Float3> corners;
    return corners;
}

}  // namespace Orvanta
