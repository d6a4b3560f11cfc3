#include "renderer/FeatureSwitches.h"

#include <cstring>

namespace Orvanta {

namespace {
const char* const names[FeatureSwitchCount] = {
    "directLighting", "skyLighting", "lightPropagationVolumes", "propagateSunLighting", "propagateSkyLighting",
    "SSAO",           "raytracing",
};
}

const char* featureSwitchName(int index)
{
    return index >= 0 && index < FeatureSwitchCount ? names[index] : nullptr;
}

int findFeatureSwitch(const char* name)
{
    for (int i = 0; i < FeatureSwitchCount; ++i)
        if (std::strcmp(names[i], name) == 0)
            return i;
    return -1;
}

}  // namespace Orvanta
