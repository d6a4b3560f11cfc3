#pragma once
#include "KindergartenScene.h"

#include <string>

namespace Orvanta {

// Debug view: rasterises the scene's triangles on the CPU from the start camera (flat colour
// per material, sun shading, z-buffer) into a PNG, to check the layout without the renderer.
bool writeScenePreview(const KindergartenContent& content, const std::string& pngPath, std::string& error);

}  // namespace Orvanta
