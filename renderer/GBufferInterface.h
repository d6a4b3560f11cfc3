#pragma once

namespace Orvanta {

class Texture;

// What the lighting passes read of a geometry buffer. The rasterised G-buffer and the ray-traced
// one both implement it, so the same passes light either.
class GBufferInterface {
public:
    virtual ~GBufferInterface() = default;
    virtual Texture* colorTexture() = 0;
    virtual Texture* normalTexture() = 0;
    virtual Texture* positionTexture() = 0;
    // The surface normal before normal mapping. A buffer that has only the shading normal (the
    // ray-traced one) hands that out instead.
    virtual Texture* geometryNormalTexture() { return normalTexture(); }
    // The rays a ray-traced buffer was traced from; a rasterised buffer has none.
    virtual Texture* rayOriginsTexture() { return nullptr; }
    virtual Texture* rayDirectionsTexture() { return nullptr; }
};

}  // namespace Orvanta
