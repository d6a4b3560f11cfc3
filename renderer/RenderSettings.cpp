#include "renderer/RenderSettings.h"

#include <cstring>

namespace Orvanta {

namespace {
const char* const names[RenderSettingCount] = {"lpvOcclusion", "antiAliasing", "refraction", "temporalAntiAliasing",
                                               "irradianceProbes"};
}

const char* renderSettingName(int index)
{
    return index >= 0 && index < RenderSettingCount ? names[index] : nullptr;
}

int findRenderSetting(const char* name)
{
    for (int i = 0; i < RenderSettingCount; ++i)
        if (std::strcmp(names[i], name) == 0)
            return i;
    return -1;
}

}  // namespace Orvanta
