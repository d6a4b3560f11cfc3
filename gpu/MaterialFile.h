#pragma once
#include "scene/Math.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Orvanta {

// Which scene pass of the renderer draws with a material pass.
enum PassType : int32_t {
    PassTypeLight = 0,          // "LIGHT"
    PassTypeDeferredWrite = 1,  // "DEFERRED_WRITE"
    PassTypeSky = 2,            // "SKY"
    PassTypeRaycasting = 3,     // "RAYCASTING"
    PassTypeRaytraced = 4,      // "RAYTRACED"
    PassTypeTransparency = 5,   // "TRANSPARENCY"
};
constexpr int32_t PassTypeNone = -1;
constexpr int32_t LightTypeNone = -1;

// Exact name lookups; PassTypeNone / LightTypeNone when the name is not known.
int32_t findPassType(const std::string& name);
int32_t findLightType(const std::string& name);

// A "texture" block: the name passes use and the image file, used unchanged.
struct MaterialTextureRecord {
    std::string name;
    std::string fileName;  // empty when the block has no usable fileName
    bool refused = false;  // the fileName climbed out of its directory: a white texture stands in
};

// One thing a pass does to its program, in file order.
struct MaterialPassStep {
    enum Kind { VertexShader, FragmentShader, Link };
    Kind kind = Link;
    std::string shaderPath;  // shader steps: the file; empty when the path was refused
    // Link: whether a "semantics" block asked for it (a pass without one is linked after its last
    // key and names no textures), and that block's (uniform name, texture name) pairs in order.
    bool fromSemanticsBlock = false;
    std::vector<std::pair<std::string, std::string>> textureUniforms;
};

struct MaterialPassRecord {
    int32_t type = PassTypeNone;
    int32_t lightType = LightTypeNone;
    bool useDefaultPass = false;
    std::vector<MaterialPassStep> steps;  // shader steps, then exactly one Link
    // How many of the file's texture blocks stand before this pass: only those can be named.
    size_t texturesDeclared = 0;
};

// How a surface reflects and transmits light beyond its diffuse and specular terms: the mirror
// reflection of the ray-traced pass, and the light that passes through glass or water. Read from
// the material file's top-level keys "reflectance", "reflectionTint", "indexOfRefraction",
// "isThin" and "transmissionColor"; the defaults describe an opaque surface without a mirror lobe,
// so files without these keys load as before.
// Colours are written as three numbers in one quoted value, separated by blanks:
// reflectionTint = "0.97 0.98 1.0" (outside quotes the text format removes blanks).
struct MaterialOptics {
    float reflectance = 0.0f;                    // Fresnel reflectance at normal incidence (Schlick), 0..1
    Float3 reflectionTint{1.0f, 1.0f, 1.0f};     // colour of the mirror reflection (metals tint it), 0..1
    float indexOfRefraction = 1.5f;              // of the medium behind the surface, relative to air, >= 1
    bool isThin = false;                         // a pane: light leaves parallel to how it entered, without bending
    Float3 transmissionColor{0.0f, 0.0f, 0.0f};  // what passes through, 0..1; black is opaque

    bool transmits() const
    {
        return transmissionColor.x > 0.0f || transmissionColor.y > 0.0f || transmissionColor.z > 0.0f;
    }
    bool operator==(const MaterialOptics&) const = default;
};

// What a ".material" file says, read without a GL context. Building the material's textures and
// programs from it is loadMaterial's business (gpu/Material.h).
struct MaterialFileData {
    bool isDoubleSided = false;
    bool castShadows = true;
    bool isTransparent = false;
    bool isAlphaTested = false;
    float alphaTestTreshold = 0.0f;
    MaterialOptics optics;
    std::vector<MaterialTextureRecord> textures;
    std::vector<MaterialPassRecord> passes;  // only passes the renderer can choose
};

// Reads a material file. Each problem found becomes one message naming the file in `problems`:
// text that does not parse cleanly (the part before the problem is used), a flag that is neither
// "true" nor "false" (left unchanged), an alphaTestTreshold that is not a finite number (left
// unchanged when NaN or infinite, 0 when there is no number), an optics value that is not a number
// (or three numbers) in its range (left unchanged), a path whose ".." steps leave the
// content folders (refused, platform/FileAccess.h),
// a shader key after the pass's "semantics" block, a second "semantics" block, and a pass without
// a known type or a LIGHT pass without a known lightType (left out). Returns false, with `data` at
// its defaults, when the file cannot be read or its root is not a "material" block.
bool readMaterialFile(const std::string& path, MaterialFileData& data, std::vector<std::string>& problems);
// The same for text already in memory; `name` is used in the messages.
bool parseMaterialText(const std::string& name, const std::string& text, MaterialFileData& data,
                       std::vector<std::string>& problems);

}  // namespace Orvanta
