#include "renderer/SkyLightingUniforms.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

namespace {

void setVectorArray(int location, const std::vector<Float3>& vectors)
{
    // An empty list leaves the array as it is; its count uniform tells the shader to read none.
    if (!vectors.empty())
        glUniform3fvARB(location, static_cast<GLsizei>(vectors.size()), &vectors[0].x);
}

constexpr SemanticRun volumeTextures{SKY_LIGHTING_VOLUME_TEXTURE0, SkyLightingVolume::TextureCount};

}  // namespace

bool setSkyLightingUniform(const SkyLightingVolume& volume, UniformSemantic semantic, int location)
{
    switch (semantic) {
    case SKY_LIGHTING_VOLUME_WIDTH:
        glUniform1fARB(location, volume.worldWidth());
        return true;
    case SKY_LIGHTING_VOLUME_HEIGHT:
        glUniform1fARB(location, volume.worldHeight());
        return true;
    case SKY_LIGHTING_VOLUME_LENGTH:
        glUniform1fARB(location, volume.worldLength());
        return true;
    case SKY_LIGHTING_VOLUME_WORLDSPACE_TEXEL_SIZE:
        glUniform1fARB(location, volume.cellSize);
        return true;
    case SKY_LIGHTING_OCCLUSION_QUADS:
        setVectorArray(location, volume.occlusionCorners);
        return true;
    case SKY_LIGHTING_NUM_OCCLUSION_QUADS:
        glUniform1iARB(location, static_cast<GLint>(volume.occlusionCorners.size()));
        return true;
    case SKY_LIGHTING_FOLIAGE_CENTRES:
        setVectorArray(location, volume.foliageCentres);
        return true;
    case SKY_LIGHTING_FOLIAGE_RADII:
        setVectorArray(location, volume.foliageRadii);
        return true;
    case SKY_LIGHTING_NUM_FOLIAGE:
        glUniform1iARB(location, static_cast<GLint>(volume.foliageCentres.size()));
        return true;
    case SKY_LIGHTING_SAMPLING_VECTORS:
        setVectorArray(location, volume.samplingVectors);
        return true;
    case SKY_LIGHTING_NUM_SAMPLING_VECTORS:
        glUniform1iARB(location, static_cast<GLint>(volume.samplingVectors.size()));
        return true;
    case SKY_LIGHTING_OCCLUSION_BOX_MINIMUM:
        glUniform3fARB(location, volume.occlusionMinimum.x, volume.occlusionMinimum.y, volume.occlusionMinimum.z);
        return true;
    case SKY_LIGHTING_OCCLUSION_BOX_MAXIMUM:
        glUniform3fARB(location, volume.occlusionMaximum.x, volume.occlusionMaximum.y, volume.occlusionMaximum.z);
        return true;
    default:
        return false;
    }
}

Texture* skyLightingTexture(const SkyLightingVolume& volume, UniformSemantic semantic)
{
    if (!volumeTextures.contains(semantic))
        return nullptr;
    return volume.textures[volumeTextures.index(semantic)].get();
}

}  // namespace Orvanta
