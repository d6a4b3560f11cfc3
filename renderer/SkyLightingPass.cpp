#include "renderer/PassTimer.h"
#include "renderer/Renderer.h"

namespace Orvanta {

SkyLightingPassHooks Renderer::skyLightingHooks()
{
    SkyLightingPassHooks hooks;
    hooks.pushFrameBuffer = [this](FrameBuffer& frameBuffer) { pushFrameBuffer(&frameBuffer); };
    hooks.popFrameBuffer = [this] { popFrameBuffer(); };
    hooks.applyPassUniforms = [this](const ShaderProgram& program) {
        applyPassUniforms(nullptr, nullptr, program, nullptr);
    };
    return hooks;
}

void Renderer::setSkyOcclusionCorners(const std::vector<Float3>& corners)
{
    Orvanta::setSkyOcclusionCorners(skyLighting, corners);
}

void Renderer::advanceSkyLightingVolume()
{
    if (!featureOn(SkyLighting))
        return;
    PassScope pass(*this, "sky lighting volume");
    updateSkyLightingVolume(skyLighting, skyLightingHooks());
}

void Renderer::drawSkyLighting()
{
    Orvanta::drawSkyLighting(skyLighting, skyLightingHooks(), frustumVectors);
}

void Renderer::addSkyLighting()
{
    if (!featureOn(SkyLighting))
        return;
    PassScope pass(*this, "sky lighting");
    drawSkyLighting();
}

}  // namespace Orvanta
