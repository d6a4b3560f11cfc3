#pragma once
#include "renderer/LightPropagationVolumeLayout.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

// A static vertex buffer of injection points: texture coordinate (2 floats) then vertex (3).
struct InjectionPointBuffer {
    InjectionPointBuffer() = default;
    ~InjectionPointBuffer();
    InjectionPointBuffer(const InjectionPointBuffer&) = delete;
    InjectionPointBuffer& operator=(const InjectionPointBuffer&) = delete;

    void upload(const std::vector<InjectionPoint>& points);
    // Draws every point with gl_MultiTexCoord0 and gl_Vertex from the buffer.
    void draw() const;

    uint32_t buffer = 0;
    int count = 0;
};

}  // namespace Orvanta
