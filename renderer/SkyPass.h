#pragma once
#include "renderer/PassContext.h"
#include "renderer/SkySet.h"

namespace Orvanta {

class SunLight;

// When the set's update flag is up: shades the sun's colour (one pixel, read back into the sun
// when there is one) and the sky map, then lowers the flag. Otherwise does nothing.
void updateSunAndSkyMap(const PassContext& context, SkySet& set, SunLight* sun);

}  // namespace Orvanta
