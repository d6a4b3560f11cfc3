#include "renderer/SkySet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"

namespace Orvanta {

void SkySet::create()
{
    parameters = makeSkyParameters();
    sunColorProgram = getFragmentProgram("resources/shaders/engine/skyLighting/sunColorFragment.shader");
    skyMap.create(skyMapSize, skyMapSize);
    skyMap.addColorAttachment(0, PixelFormatRgb16F, 1, false);
    skyMap.setDrawBuffers();
    skyMap.checkComplete("sky map");
    skyMapProgram = getFragmentProgram("resources/shaders/engine/skyLighting/skyMapWrite.shader");
    aerialPerspectiveProgram = getFragmentProgram(
        "resources/shaders/engine/skyLighting/aerialPerspectiveEffectFragment.shader");
    updateFlag = true;
}

}  // namespace Orvanta
