#pragma once
#include "gpu/MaterialFile.h"
#include "gpu/ShaderProgram.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orvanta {

class Texture2D;

struct MaterialPass {
    int32_t type = PassTypeNone;
    int32_t lightType = LightTypeNone;  // only for light passes
    bool useDefaultPass = false;
    ShaderProgram program;  // owned by the pass, not cached
    // The textures of the MATERIAL_TEXTURE uniforms, in uniform-binding order.
    std::vector<Texture2D*> textures;
};

struct Material {
    bool isDoubleSided = false;
    bool castShadows = true;
    bool isTransparent = false;
    bool isAlphaTested = false;
    float alphaTestTreshold = 0.0f;
    MaterialOptics optics;  // feeds the MATERIAL_ optics semantics (reflectance to transmission colour)
    std::vector<std::unique_ptr<MaterialPass>> passes;  // every pass, in file order
    // The last pass of each of these types in file order; light passes are found through passes.
    MaterialPass* deferredWritePass = nullptr;
    MaterialPass* skyPass = nullptr;
    MaterialPass* raycastingPass = nullptr;
    MaterialPass* raytracedPass = nullptr;
    MaterialPass* transparencyPass = nullptr;
};

// The first light pass for a light type, or null.
const MaterialPass* findLightPass(const Material& material, int32_t lightType);

// Reads a ".material" file (readMaterialFile, gpu/MaterialFile.h, reporting each problem it finds
// with one message) and builds its textures and pass programs. A missing file or one whose root is
// not "material" gives the defaults and no passes. A pass without a valid type, or a light pass
// without a valid light type, is left out.
std::unique_ptr<Material> loadMaterial(const std::string& path);
// The cached material of a path, loaded on first request.
Material* getMaterial(const std::string& path);

}  // namespace Orvanta
