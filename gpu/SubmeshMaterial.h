#pragma once
#include <cstdint>

namespace Orvanta {

// The grey level of the 1 x 1 texture the renderer binds for a sub-mesh without a specular
// texture: a dull, barely shiny surface.
inline constexpr uint8_t kDefaultSpecularLevel = 40;
// The intensity shaders read from that texture. It is plain RGBA8, not sRGB (unlike the specular
// textures of object files), so the sampler returns the level / 255 undecoded: 0.157, not 0.021.
inline constexpr float kDefaultSpecularIntensity = kDefaultSpecularLevel / 255.0f;

class Texture2D;
struct Material;

// What one sub-mesh of an object draws with: its material and the textures and specular power
// the object file gives it. Feeds the MATERIAL_COLOR/NORMAL/SPECULAR_TEXTURE and
// MATERIAL_SPECULAR_POWER uniforms.
struct SubmeshMaterial {
    Material* material = nullptr;
    Texture2D* colorTexture = nullptr;
    Texture2D* normalTexture = nullptr;
    Texture2D* specularTexture = nullptr;
    float specularPower = 0.0f;
};

}  // namespace Orvanta
