#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/GBufferInterface.h"
#include "renderer/ScreenSizedTargets.h"

namespace Orvanta {

struct ShaderProgram;

// The rasterised geometry buffer and the deferred-rendering programs that write and light it.
// Attachments, in draw-buffer order: 0 surface colour (RGBA8: albedo, specular intensity in
// alpha), 1 shading normal (RGBA16F: specular exponent in w), 2 geometry normal (RGB16F),
// 3 linear eye depth (R16F), 4 world position (RGB16F); one depth-stencil renderbuffer.
class GBuffer : public GBufferInterface, public ScreenSizedTargets {
public:
    enum Attachment { Color = 0, Normal = 1, GeometryNormal = 2, Depth = 3, Position = 4, AttachmentCount = 5 };

    // Builds the target at the given size and the seven programs. Leaves the target bound.
    void create(int width, int height);
    // (Re)builds the target alone at a new size; leaves it bound.
    void resizeTargets(int width, int height) override;

    Texture* colorTexture() override;
    Texture* normalTexture() override;
    Texture* positionTexture() override;
    Texture* geometryNormalTexture() override;
    Texture* depthTexture();

    FrameBuffer frameBuffer;
    ShaderProgram* defaultWriteProgram = nullptr;
    ShaderProgram* alphaTestedWriteProgram = nullptr;
    ShaderProgram* pointLightMaskProgram = nullptr;
    ShaderProgram* sunLightMaskProgram = nullptr;
    ShaderProgram* pointLightProgram = nullptr;
    ShaderProgram* sunLightProgram = nullptr;
    ShaderProgram* raytracedSunLightProgram = nullptr;
};

}  // namespace Orvanta
