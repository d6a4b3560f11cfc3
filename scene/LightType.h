#pragma once
#include <cstdint>

namespace Orvanta {

// Light types, shared by lights and by the "lightType" key of material passes.
enum LightType : int32_t {
    LightTypePoint = 0,      // "POINT"
    LightTypeAmbient = 1,    // "AMBIENT"
    LightTypeProjected = 2,  // "PROJECTED"
    LightTypeSun = 3,        // "SUN"
};

}  // namespace Orvanta
