#include "gpu/Texture.h"

#include "platform/gl/GlExtensions.h"

namespace Orvanta {

Texture::Texture()
{
    GLuint created = 0;
    glGenTextures(1, &created);
    name = created;
}

Texture::~Texture()
{
    GLuint deleted = name;
    glDeleteTextures(1, &deleted);
}

uint32_t Texture2D::target() const
{
    return GL_TEXTURE_2D;
}

uint32_t Texture3D::target() const
{
    return GL_TEXTURE_3D;
}

PixelFormatInfo pixelFormatInfo(int32_t format)
{
    static const PixelFormatInfo table[14] = {
        {GL_INTENSITY8, GL_RED, GL_UNSIGNED_BYTE},
        {GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE},
        {GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE},
        {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE},
        {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE},
        {GL_SRGB8, GL_BGR, GL_UNSIGNED_BYTE},
        {GL_SRGB8_ALPHA8, GL_BGRA, GL_UNSIGNED_BYTE},
        {GL_R16F, GL_RED, GL_FLOAT},
        {GL_R32F, GL_RED, GL_FLOAT},
        {GL_RG16F, GL_RG, GL_FLOAT},
        {GL_RGB16F, GL_RGB, GL_FLOAT},
        {GL_RGBA16F, GL_RGBA, GL_FLOAT},
        {GL_RGB32F, GL_RGB, GL_FLOAT},
        {GL_RGBA32F, GL_RGBA, GL_FLOAT},
    };
    if (format < 0 || format >= 14)
        return table[PixelFormatRgb8];
    return table[format];
}

static void clampEdges(GLenum target)
{
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
}

void allocate2D(int32_t format, Texture2D& texture, int width, int height, int filter, bool mipmapped)
{
    PixelFormatInfo info = pixelFormatInfo(format);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    // No data is uploaded, so the client type does not matter; bytes are always accepted.
    glTexImage2D(GL_TEXTURE_2D, 0, info.internalFormat, width, height, 0, info.clientFormat, GL_UNSIGNED_BYTE, nullptr);
    if (mipmapped)
        texture.hasMipmaps = true;
    if (filter == 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    } else if (filter == 1) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture.hasMipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    }
    clampEdges(GL_TEXTURE_2D);
}

void allocate3D(int32_t format, Texture3D& texture, int width, int height, int depth)
{
    PixelFormatInfo info = pixelFormatInfo(format);
    glBindTexture(GL_TEXTURE_3D, texture.name);
    glTexImage3DEXT(GL_TEXTURE_3D, 0, info.internalFormat, width, height, depth, 0, info.clientFormat, GL_UNSIGNED_BYTE,
                    nullptr);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    clampEdges(GL_TEXTURE_3D);
}

DepthTexture::DepthTexture(int width, int height)
{
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, width, height, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    clampEdges(GL_TEXTURE_2D);
}

std::unique_ptr<Texture2D> solidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    auto texture = std::make_unique<Texture2D>();
    const uint8_t texel[4] = {r, g, b, 255};
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

}  // namespace Orvanta
