#include "gpu/Texture.h"
#include "platform/FrameTimer.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/RayTracingUniforms.h"
#include "renderer/Renderer.h"
#include "renderer/ShadowUniforms.h"
#include "renderer/SkyLightingUniforms.h"
#include "renderer/SsaoUniforms.h"
#include "scene/Light.h"

namespace Orvanta {

namespace {

void setVector(int location, Float3 v)
{
    glUniform3fARB(location, v.x, v.y, v.z);
}

}  // namespace

// Light semantics have no value here when no light is being applied and are passed over.
bool Renderer::setUniform(UniformSemantic semantic, int location, const UniformContext& context)
{
    const Light* light = context.light;
    const SkyParameters& p = sky.parameters;
    if (setSkyLightingUniform(skyLighting, semantic, location))
        return true;
    switch (semantic) {
    case CAMERA_POSITION:
        setVector(location, mainCamera.position);
        return true;
    case LIGHT_POSITION:
        if (!light)
            return false;
        setVector(location, light->position);
        return true;
    case LIGHT_RADIUS:
        if (!light)
            return false;
        glUniform1fARB(location, light->radius);
        return true;
    case LIGHT_COLOR:
        if (!light)
            return false;
        glUniform4fARB(location, light->color[0], light->color[1], light->color[2], light->color[3]);
        return true;
    case LIGHT_DIRECTION:
        if (!light)
            return false;
        setVector(location, light->direction);
        return true;
    case SUN_LIGHT_DIRECTION:
        if (!sunLight)
            return false;
        setVector(location, sunLight->direction);
        return true;
    case RAYLEIGH_PARTICLES_CONCENTRATION:
        glUniform1fARB(location, p.rayleighParticlesConcentration);
        return true;
    case MIE_PARTICLES_CONCENTRATION:
        glUniform1fARB(location, p.mieParticlesConcentration);
        return true;
    case RAYLEIGH_COLOR_SCATTERING_COEFFICIENTS:
        setVector(location, p.rayleighColorScatteringCoefficients);
        return true;
    case MIE_COLOR_SCATTERING_COEFFICIENTS:
        setVector(location, p.mieColorScatteringCoefficients);
        return true;
    case MIE_PHASE_PARAMETER_G:
        glUniform1fARB(location, p.miePhaseParameterG);
        return true;
    case AERIAL_PERSPECTIVE_FOG_DENSITY:
        glUniform1fARB(location, p.aerialPerspectiveFogDensity);
        return true;
    case FRUSTUM_TOP_LEFT_VECTOR:
        setVector(location, frustumVectors.topLeft);
        return true;
    case FRUSTUM_TOP_RIGHT_VECTOR:
        setVector(location, frustumVectors.topRight);
        return true;
    case FRUSTUM_BOTTOM_LEFT_VECTOR:
        setVector(location, frustumVectors.bottomLeft);
        return true;
    case FRUSTUM_BOTTOM_RIGHT_VECTOR:
        setVector(location, frustumVectors.bottomRight);
        return true;
    case VIEWPORT_ASPECT_RATIO:
        glUniform1fARB(location, static_cast<float>(width()) / static_cast<float>(height()));
        return true;
    case ELAPSED_TIME:
        glUniform1fARB(location, frameTimer().elapsedSeconds);
        return true;
    case HDR_FIXED_EXPOSURE:
        glUniform1fARB(location, hdr.fixedExposure);
        return true;
    default:
        return setShadowUniform(shadows, semantic, location) || setRayTracingUniform(rayTracing, semantic, location) ||
               setSsaoUniform(ssao, semantic, location) || setAntiAliasingUniform(antiAliasing, semantic, location);
    }
}

// The frame-wide values: the G-buffer semantics read the rasterised buffer; a pass that reads
// another one, a light propagation volume or traced targets names them in its program inputs.
Texture* Renderer::texture(UniformSemantic semantic, const UniformContext&)
{
    if (isGBufferSemantic(semantic))
        return gBufferTexture(mainGBuffer, semantic);
    if (Texture* volumeTexture = skyLightingTexture(skyLighting, semantic))
        return volumeTexture;
    switch (semantic) {
    case SKY_MAP_TEXTURE:
        return sky.skyMap.colorTexture(0);
    case GBUFFER_DEPTH_TEXTURE:
        // Always the rasterised depth, also while a traced buffer is being lit.
        return mainGBuffer.depthTexture();
    case SHADOW_SAMPLING_NOISE_TEXTURE:
        return shadowSamplingNoise;
    case HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE:
        return hdr.sceneTexture();
    case HDR_SCENE_AVERAGE_LUMINANCE_TEXTURE:
        return hdr.luminanceTexture();
    case HDR_EXPOSURE_TEXTURE:
        return hdr.exposureTexture();
    default:
        if (Texture* shadowMap = shadowTexture(shadows, semantic))
            return shadowMap;
        if (Texture* ambientOcclusion = ssaoTexture(ssao, semantic))
            return ambientOcclusion;
        return antiAliasingTexture(antiAliasing, semantic);
    }
}

void Renderer::bindTextureUnit(int unit, Texture* texture)
{
    textureUnits.bind(unit, texture);
}

}  // namespace Orvanta
