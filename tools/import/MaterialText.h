#pragma once
// The ".material" text of an imported material: the engine's default G-buffer programs for
// opaque and alpha-tested surfaces, the transparency pass for blended ones.
#include "gpu/TextParser.h"

#include <string>

namespace Orvanta {

struct MaterialSettings {
    bool doubleSided = false;
    bool alphaTested = false;
    float alphaTestThreshold = 0.5f;
    bool transparent = false;
    // For a transparent material: the colour texture's path as the engine opens it (relative to
    // the working directory), read by the transparency pass.
    std::string transparentTexturePath;
};

TextNode materialTree(const MaterialSettings& settings);

}  // namespace Orvanta
