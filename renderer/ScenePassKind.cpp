#include "renderer/ScenePassKind.h"

#include "gpu/Material.h"

namespace Orvanta {

const char* scenePassKindName(ScenePassKind kind)
{
    switch (kind) {
    case ScenePassKind::Sky:
        return "sky";
    case ScenePassKind::ZFill:
        return "z-fill";
    case ScenePassKind::ShadowZFill:
        return "shadow z-fill";
    case ScenePassKind::ShadowTransmittance:
        return "shadow transmittance";
    case ScenePassKind::DeferredWrite:
        return "deferred write";
    case ScenePassKind::ReflectiveShadowMap:
        return "reflective shadow map";
    case ScenePassKind::Raycasting:
        return "ray casting";
    case ScenePassKind::RaytracedZFill:
        return "ray-traced z-fill";
    case ScenePassKind::Raytraced:
        return "ray-traced";
    case ScenePassKind::Transparency:
        return "transparency";
    }
    return "unknown";
}

namespace {

ScenePassChoice ownPass(const MaterialPass* pass)
{
    ScenePassChoice choice;
    if (pass) {
        choice.program = &pass->program;
        choice.pass = pass;
    }
    return choice;
}

ScenePassChoice depthPass(const Material& material, const ShaderProgram* plain, const ShaderProgram* alphaTested,
                          bool emptyUnits)
{
    ScenePassChoice choice;
    choice.program = material.isAlphaTested ? alphaTested : plain;
    choice.emptyTextureUnits = emptyUnits;
    return choice;
}

// Panes and water: surfaces the ray tracer lets light through (they have a ray-traced pass and a
// transmission colour). In the sun's maps they tint the light behind them instead of blocking it,
// and the reflective map sees past them the surfaces the sun lights through them (untinted: that
// map has no transmittance of its own).
bool passesSunlight(const Material& m)
{
    return m.raytracedPass && m.optics.transmits();
}

}  // namespace

ScenePassChoice chooseScenePass(ScenePassKind kind, const Material& m, const ScenePassPrograms& programs)
{
    bool hasSky = m.skyPass != nullptr;
    // Whether the surface stands in the sun's maps at all, as an occluder or as a pane.
    bool inSunMaps = !m.isTransparent && m.castShadows && !hasSky;
    switch (kind) {
    case ScenePassKind::Sky:
        return ownPass(m.skyPass);
    case ScenePassKind::ZFill:
        if (m.isTransparent || hasSky)
            return {};
        return depthPass(m, programs.zFill, programs.alphaTestedZFill, true);
    case ScenePassKind::ShadowZFill: {
        if (!inSunMaps || passesSunlight(m))
            return {};
        // A sun map holds the nearest surface whichever way it faces: a single-sided surface seen
        // from behind by the sun (a fascia facing the wall under it) still stands between that
        // wall and the sun.
        ScenePassChoice choice = depthPass(m, programs.shadowZFill, programs.alphaTestedShadowZFill, false);
        choice.bothSides = true;
        return choice;
    }
    case ScenePassKind::ShadowTransmittance: {
        if (!inSunMaps || !passesSunlight(m))
            return {};
        ScenePassChoice choice;
        choice.program = programs.shadowTransmittance;
        choice.bothSides = true;
        return choice;
    }
    case ScenePassKind::DeferredWrite:
        if (!m.deferredWritePass)
            return {};
        if (m.deferredWritePass->useDefaultPass) {
            ScenePassChoice choice;
            choice.program = m.isAlphaTested ? programs.alphaTestedGBufferWrite : programs.defaultGBufferWrite;
            choice.pass = m.deferredWritePass;
            return choice;
        }
        return ownPass(m.deferredWritePass);
    case ScenePassKind::ReflectiveShadowMap:
        if (m.isTransparent || !m.deferredWritePass || passesSunlight(m))
            return {};
        return {programs.reflectiveShadowMap, m.deferredWritePass, false};
    case ScenePassKind::Raycasting:
        return ownPass(m.raycastingPass);
    case ScenePassKind::RaytracedZFill:
        if (!m.raytracedPass || hasSky)
            return {};
        return depthPass(m, programs.zFill, programs.alphaTestedZFill, true);
    case ScenePassKind::Raytraced:
        return ownPass(m.raytracedPass);
    case ScenePassKind::Transparency:
        return ownPass(m.transparencyPass);
    }
    return {};
}

}  // namespace Orvanta
