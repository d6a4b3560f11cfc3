#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "raytracing/SkyEnvironment.h"
#include "renderer/Renderer.h"
#include "renderer/SkyPass.h"
#include "scene/Light.h"

#include <cmath>

namespace Orvanta {

SkyEnvironment Renderer::captureSkyEnvironment()
{
    updateSunAndSkyMap(passContext(), sky, sunLight);
    SkyEnvironment environment;
    const int size = SkySet::skyMapSize;
    environment.width = environment.height = uint32_t(size);
    environment.radiance.resize(size_t(size) * size);
    // Row 0 of the texture is v = 0, straight down, as SkyEnvironment lays its map out.
    // Through the unit table, so that its record of what unit 0 holds stays true.
    textureUnits.bind(0, sky.skyMap.colorTexture(0));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, environment.radiance.data());
    textureUnits.unbindAll();
    for (Float3& texel : environment.radiance)
        if (!std::isfinite(texel.x) || !std::isfinite(texel.y) || !std::isfinite(texel.z))
            texel = Float3{};
    if (const SunLight* sun = sunLight) {
        environment.towardSun = -normalize(sun->direction);
        environment.sunIrradiance = {sun->color[0], sun->color[1], sun->color[2]};
        environment.sunCosRadius = std::cos(kSunAngularRadius);
    }
    prepareSkySampling(environment);
    return environment;
}

}  // namespace Orvanta
