#include "renderer/LightPropagationVolumeUniforms.h"

#include "platform/gl/GlExtensions.h"
#include "gpu/Texture.h"

namespace Orvanta {

namespace {

bool inRange(UniformSemantic semantic, UniformSemantic first, int count)
{
    return semantic >= first && semantic < first + count;
}

}  // namespace

bool setLightPropagationVolumeUniform(const LightPropagationVolumeSet& set, UniformSemantic semantic, int location)
{
    const LightPropagationVolume& volume = set.currentVolume();
    const Float3 extent = volume.grid().extent();
    switch (semantic) {
    case REFLECTIVE_SHADOW_MAP_INVERTED_MATRIX:
        glUniformMatrix4fvARB(location, 1, GL_FALSE, volume.invertedMatrix.m);
        return true;
    case LIGHT_PROPAGATION_VOLUME_WIDTH_RESOLUTION:
        glUniform1fARB(location, static_cast<float>(volume.width));
        return true;
    case LIGHT_PROPAGATION_VOLUME_HEIGHT_RESOLUTION:
        glUniform1fARB(location, static_cast<float>(volume.height));
        return true;
    case LIGHT_PROPAGATION_VOLUME_LENGTH_RESOLUTION:
        glUniform1fARB(location, static_cast<float>(volume.length));
        return true;
    case LIGHT_PROPAGATION_VOLUME_WORLDSPACE_TEXEL_SIZE:
        glUniform1fARB(location, volume.cellSize);
        return true;
    case LIGHT_PROPAGATION_VOLUME_LIGHTS_WEIGHT:
        glUniform1fARB(location, volume.lightsWeight);
        return true;
    case LIGHT_PROPAGATION_VOLUME_POSITION:
        glUniform3fARB(location, volume.position.x, volume.position.y, volume.position.z);
        return true;
    case LIGHT_PROPAGATION_VOLUME_WIDTH:
        glUniform1fARB(location, extent.x);
        return true;
    case LIGHT_PROPAGATION_VOLUME_HEIGHT:
        glUniform1fARB(location, extent.y);
        return true;
    case LIGHT_PROPAGATION_VOLUME_LENGTH:
        glUniform1fARB(location, extent.z);
        return true;
    default:
        return false;
    }
}

Texture* lightPropagationVolumeTexture(const LightPropagationVolumeSet& set, UniformSemantic semantic)
{
    const LightPropagationVolume& volume = set.currentVolume();
    if (semantic == REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE || semantic == REFLECTIVE_SHADOW_MAP_NORMAL_TEXTURE)
        return volume.reflectiveShadowMap.colorTexture(semantic - REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE);
    if (semantic == REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE)
        return volume.reflectiveShadowMapDepth.get();
    if (inRange(semantic, LIGHT_PROPAGATION_VOLUME_TEXTURE0, LightPropagationVolumeAttachments))
        return volume.sourceVolume().colorTexture(semantic - LIGHT_PROPAGATION_VOLUME_TEXTURE0);
    if (semantic == LIGHT_PROPAGATION_GEOMETRY_VOLUME_TEXTURE)
        return set.geometry.volumes[set.current].colorTexture(0);
    if (inRange(semantic, LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE0, LightPropagationVolumeAttachments))
        return volume.accumulation.colorTexture(semantic - LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE0);
    return nullptr;
}

}  // namespace Orvanta
