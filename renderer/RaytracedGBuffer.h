#pragma once
#include "raytracing/TraceTiles.h"
#include "renderer/GBufferInterface.h"
#include "renderer/PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Orvanta {

class Texture2D;

// The geometry buffer of the surfaces that traced rays hit, at tracing resolution: colour
// (RGBA8), shading normal (RGBA16F) and position (RGBA16F, w 0 for a hit and 1 for a missed ray)
// textures, each filled from a pixel-unpack buffer that the workers write while it is mapped.
// The ray origins and directions it was traced from are textures of the ray-input target (not
// owned). Lighting passes read it through GBufferInterface like the rasterised G-buffer.
class RaytracedGBuffer : public GBufferInterface {
public:
    enum Output { Color = 0, Normal = 1, Position = 2, OutputCount = 3 };

    RaytracedGBuffer();
    ~RaytracedGBuffer() override;

    // The three upload buffers (width * height * 4, * 8 and * 8 bytes, stream-draw) and the three
    // textures at width x height.
    void create(int width, int height, Texture2D* rayOrigins, Texture2D* rayDirections);
    // Gives every upload buffer fresh storage and maps it for writing. Stays unmapped (and
    // returns false) when a map fails.
    bool mapUploadBuffers();
    // Unmaps the buffers and, when all three were mapped, replaces the rectangle of each texture
    // from its buffer (rows of rect.width texels, packed tightly).
    void unmapAndUpload(const PixelRect& rect);
    bool mapped() const;

    uint8_t* mappedColors() const { return static_cast<uint8_t*>(uploads[Color].mapped); }
    uint16_t* mappedNormals() const { return static_cast<uint16_t*>(uploads[Normal].mapped); }
    uint16_t* mappedPositions() const { return static_cast<uint16_t*>(uploads[Position].mapped); }

    Texture* colorTexture() override;
    Texture* normalTexture() override;
    Texture* positionTexture() override;
    Texture* rayOriginsTexture() override;
    Texture* rayDirectionsTexture() override;

    int width = 0;
    int height = 0;
    PixelBuffer uploads[OutputCount];
    std::unique_ptr<Texture2D> textures[OutputCount];
    Texture2D* origins = nullptr;
    Texture2D* directions = nullptr;
};

}  // namespace Orvanta
