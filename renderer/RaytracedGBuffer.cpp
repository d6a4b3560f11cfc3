#include "renderer/RaytracedGBuffer.h"

#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

namespace {

constexpr int32_t outputFormats[RaytracedGBuffer::OutputCount] = {PixelFormatRgba8, PixelFormatRgba16F,
                                                                  PixelFormatRgba16F};
constexpr size_t outputTexelBytes[RaytracedGBuffer::OutputCount] = {4, 8, 8};
constexpr GLenum outputTypes[RaytracedGBuffer::OutputCount] = {GL_UNSIGNED_BYTE, GL_HALF_FLOAT_ARB, GL_HALF_FLOAT_ARB};

}  // namespace

RaytracedGBuffer::RaytracedGBuffer() = default;

RaytracedGBuffer::~RaytracedGBuffer() = default;

void RaytracedGBuffer::create(int newWidth, int newHeight, Texture2D* rayOrigins, Texture2D* rayDirections)
{
    width = newWidth;
    height = newHeight;
    origins = rayOrigins;
    directions = rayDirections;
    const size_t texels = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (int i = 0; i < OutputCount; ++i) {
        uploads[i].create(GL_PIXEL_UNPACK_BUFFER_ARB, texels * outputTexelBytes[i], GL_STREAM_DRAW_ARB);
        textures[i] = std::make_unique<Texture2D>();
        allocate2D(outputFormats[i], *textures[i], width, height, 0, false);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool RaytracedGBuffer::mapUploadBuffers()
{
    for (PixelBuffer& upload : uploads)
        upload.map(GL_WRITE_ONLY_ARB, true);
    if (mapped())
        return true;
    unmapAndUpload({});
    return false;
}

void RaytracedGBuffer::unmapAndUpload(const PixelRect& rect)
{
    const bool complete = mapped();
    for (int i = 0; i < OutputCount; ++i) {
        if (!uploads[i].mapped)
            continue;
        uploads[i].unmap(true);
        if (complete && rect.width > 0 && rect.height > 0) {
            // With the unpack buffer bound, the data pointer is an offset into it.
            glBindTexture(GL_TEXTURE_2D, textures[i]->name);
            glTexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(rect.x), static_cast<GLint>(rect.y),
                            static_cast<GLsizei>(rect.width), static_cast<GLsizei>(rect.height), GL_RGBA,
                            outputTypes[i], nullptr);
        }
        glBindBufferARB(uploads[i].target, 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool RaytracedGBuffer::mapped() const
{
    for (const PixelBuffer& upload : uploads)
        if (!upload.mapped)
            return false;
    return true;
}

Texture* RaytracedGBuffer::colorTexture()
{
    return textures[Color].get();
}

Texture* RaytracedGBuffer::normalTexture()
{
    return textures[Normal].get();
}

Texture* RaytracedGBuffer::positionTexture()
{
    return textures[Position].get();
}

Texture* RaytracedGBuffer::rayOriginsTexture()
{
    return origins;
}

Texture* RaytracedGBuffer::rayDirectionsTexture()
{
    return directions;
}

}  // namespace Orvanta
