#pragma once

namespace Orvanta {

struct Material;
struct MaterialPass;
struct ShaderProgram;

// What a scene drawing is for; decides per sub-mesh whether it is drawn and with which program.
enum class ScenePassKind {
    Sky,
    ZFill,
    ShadowZFill,
    ShadowTransmittance,
    DeferredWrite,
    ReflectiveShadowMap,
    Raycasting,
    RaytracedZFill,
    Raytraced,
    Transparency,
};

const char* scenePassKindName(ScenePassKind kind);

// The renderer's own programs that scene passes draw with. A program that is not built (null)
// makes its pass draw nothing.
struct ScenePassPrograms {
    const ShaderProgram* zFill = nullptr;
    const ShaderProgram* alphaTestedZFill = nullptr;
    const ShaderProgram* shadowZFill = nullptr;
    const ShaderProgram* alphaTestedShadowZFill = nullptr;
    const ShaderProgram* shadowTransmittance = nullptr;
    const ShaderProgram* defaultGBufferWrite = nullptr;
    const ShaderProgram* alphaTestedGBufferWrite = nullptr;
    const ShaderProgram* reflectiveShadowMap = nullptr;
};

// How one sub-mesh is drawn in a pass: its program (null: not drawn), the material pass whose
// textures feed MATERIAL_TEXTURE (null for the engine's depth programs), whether the texture
// units are emptied before it, and whether both sides of every triangle are drawn.
struct ScenePassChoice {
    const ShaderProgram* program = nullptr;
    const MaterialPass* pass = nullptr;
    bool emptyTextureUnits = false;
    bool bothSides = false;
};

ScenePassChoice chooseScenePass(ScenePassKind kind, const Material& material, const ScenePassPrograms& programs);

}  // namespace Orvanta
