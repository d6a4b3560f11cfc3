#include "renderer/LightPropagationVolumeUniforms.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

namespace {

constexpr SemanticRun mapTextures{REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE, 2, {"COLOR_TEXTURE", "NORMAL_TEXTURE"}};
constexpr SemanticRun sourceTextures{LIGHT_PROPAGATION_VOLUME_TEXTURE0, LightPropagationVolumeAttachments};
constexpr SemanticRun accumulationTextures{LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE0,
                                           LightPropagationVolumeAttachments};

// The box and cell size of the next finer volume, which the diffuse light leaves the pixels it
// covers to; the finest volume has none (an empty box with a cell size of 0).
void setInnerVolume(const LightPropagationVolumeSet& set, int index, UniformSemantic semantic, int location)
{
    VolumeGrid inner;
    if (index > 0)
        inner = set.volumes[index - 1].grid();
    const Float3 lo = inner.minimumCorner();
    const Float3 hi = lo + inner.extent();
    if (semantic == LIGHT_PROPAGATION_INNER_VOLUME_MINIMUM)
        glUniform3fARB(location, lo.x, lo.y, lo.z);
    else if (semantic == LIGHT_PROPAGATION_INNER_VOLUME_MAXIMUM)
        glUniform3fARB(location, hi.x, hi.y, hi.z);
    else
        glUniform1fARB(location, index > 0 ? inner.cellSize : 0.0f);
}

}  // namespace

bool setLightPropagationVolumeUniform(const LightPropagationVolumeSet& set, int index, UniformSemantic semantic,
                                      int location)
{
    const LightPropagationVolume& volume = set.volumes[index];
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
    case LIGHT_PROPAGATION_INNER_VOLUME_MINIMUM:
    case LIGHT_PROPAGATION_INNER_VOLUME_MAXIMUM:
    case LIGHT_PROPAGATION_INNER_VOLUME_CELL_SIZE:
        setInnerVolume(set, index, semantic, location);
        return true;
    default:
        return false;
    }
}

Texture* lightPropagationVolumeTexture(const LightPropagationVolumeSet& set, int index, VolumeTarget source,
                                       UniformSemantic semantic)
{
    const LightPropagationVolume& volume = set.volumes[index];
    if (mapTextures.contains(semantic))
        return volume.reflectiveShadowMap.colorTexture(mapTextures.index(semantic));
    if (semantic == REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE)
        return volume.reflectiveShadowMapDepth.get();
    if (sourceTextures.contains(semantic))
        return volume.target(source).colorTexture(sourceTextures.index(semantic));
    if (semantic == LIGHT_PROPAGATION_GEOMETRY_VOLUME_TEXTURE)
        return set.geometry.volumes[index].colorTexture(0);
    if (accumulationTextures.contains(semantic))
        return volume.accumulation.colorTexture(accumulationTextures.index(semantic));
    return nullptr;
}

}  // namespace Orvanta
