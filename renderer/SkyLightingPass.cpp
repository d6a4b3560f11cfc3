#include "renderer/Renderer.h"

namespace Orvanta {

void Renderer::setSkyOcclusionCorners(const std::vector<Float3>& corners)
{
    Orvanta::setSkyOcclusionCorners(skyLighting, corners);
}

}  // namespace Orvanta
