#include "renderer/Renderer.h"

namespace Orvanta {

void Renderer::setSkyOcclusionCorners(const std::vector<Float3>& corners)
{
    Orvanta::setSkyOcclusionCorners(skyLighting, corners);
}

void Renderer::setSkyFoliage(const std::vector<FoliageCrown>& crowns)
{
    Orvanta::setSkyFoliage(skyLighting, crowns);
}

}  // namespace Orvanta
