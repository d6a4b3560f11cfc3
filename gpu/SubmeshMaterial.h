#pragma once

namespace Orvanta {

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
