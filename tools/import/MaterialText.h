#pragma once
// The ".material" text of an imported material: the engine's default G-buffer programs for
// opaque and alpha-tested surfaces, the transparency pass for blended ones, and the ray-traced
// mirror pass for polished metal and glass.
#include "ImportedModel.h"

#include "gpu/MaterialFile.h"
#include "gpu/TextParser.h"

#include <string>

namespace Orvanta {

enum class MirrorKind { None, Metal, Glass };

struct MaterialSettings {
    bool doubleSided = false;
    bool alphaTested = false;
    float alphaTestThreshold = 0.5f;
    bool transparent = false;
    // For a transparent material: the colour texture's path as the engine opens it (relative to
    // the working directory), read by the transparency pass.
    std::string transparentTexturePath;
    // A mirror material (kind other than None) gets the ray-traced passes and these optics.
    MirrorKind mirror = MirrorKind::None;
    MaterialOptics optics;
};

// Whether the source describes polished metal or glass, and the optics the ray-traced pass then
// uses. `meanColor` is the linear colour the surface shows on average: the base colour times the
// mean of its colour texture.
//  - metal: metallic >= 0.5 and roughness <= 0.3. A metal's reflectance at normal incidence is its
//    colour, so reflectance is the brightest channel and the tint the colour divided by it.
//  - glass: transmission > 0.5, or opacity below 1 with a refraction index above 1. Reflectance
//    ((n-1)/(n+1))^2 from the index n (1.5 when the source gives none), a thin pane unless the
//    source gives a volume thickness, the base colour (times the transmission) passing through.
MirrorKind mirrorOptics(const ImportedMaterial& material, const float meanColor[3], MaterialOptics& optics);

TextNode materialTree(const MaterialSettings& settings);

}  // namespace Orvanta
