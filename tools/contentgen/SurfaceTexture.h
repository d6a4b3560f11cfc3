#pragma once
#include "TextureWriter.h"

#include <functional>
#include <string>
#include <vector>

namespace Orvanta {

// What a procedural surface looks like at one point of its tile.
struct SurfaceSample {
    float r = 0.5f, g = 0.5f, b = 0.5f, a = 1.0f;
    float height = 0.0f;    // relief in [0, 1]; the normal map is derived from it
    float specular = 0.1f;  // specular intensity in [0, 1]
};

// (u, v) in [0, 1) over one tile; the function must tile seamlessly.
using SurfaceFunction = std::function<SurfaceSample(float u, float v)>;

struct SurfaceTextureDef {
    std::string stem;           // e.g. "kindergarten/bricks" (files <stem>Color.tga, ...Normal, ...Specular)
    int size = 256;             // square, power of two
    bool alpha = false;         // colour map with an alpha channel (alpha-tested foliage, glass)
    float bumpStrength = 4.0f;  // height units per texel that tilt the normal by 45 degrees
    SurfaceFunction sample;
};

struct SurfaceMaps {
    Picture color;
    Picture normal;
    Picture specular;
    float averageColor[3] = {0, 0, 0};
};

// Evaluates the surface on every texel and derives the tangent-space normal map from the height
// field with wrap-around differences (x = +u, y = +v, stored as n * 0.5 + 0.5).
SurfaceMaps renderSurface(const SurfaceTextureDef& def);

// Writes the three maps of `def` under `textureRoot`.
bool writeSurfaceMaps(const std::string& textureRoot, const SurfaceTextureDef& def, const SurfaceMaps& maps,
                      std::string& error);

}  // namespace Orvanta
