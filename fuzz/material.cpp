// The material file reader (everything but the GL programs and textures it leads to): every pass
// it keeps has a known type and ends with exactly one link, and the threshold is finite.
#include "gpu/MaterialFile.h"
#include "support/FuzzSupport.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Orvanta;
    MaterialFileData material;
    std::vector<std::string> problems;
    parseMaterialText("fuzz.material", OrvantaFuzz::textOf(data, size), material, problems);
    if (!std::isfinite(material.alphaTestTreshold))
        __builtin_trap();
    for (const MaterialPassRecord& pass : material.passes) {
        if (pass.type == PassTypeNone || (pass.type == PassTypeLight && pass.lightType == LightTypeNone))
            __builtin_trap();
        if (pass.steps.empty() || pass.steps.back().kind != MaterialPassStep::Link ||
            pass.texturesDeclared > material.textures.size())
            __builtin_trap();
        for (size_t i = 0; i + 1 < pass.steps.size(); ++i)
            if (pass.steps[i].kind == MaterialPassStep::Link)
                __builtin_trap();
    }
    return 0;
}
