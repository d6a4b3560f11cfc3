#include "gpu/MipChain.h"
#include "gpu/ResourceCache.h"
#include "gpu/Texture.h"
#include "gpu/TgaFile.h"

#include "platform/FileAccess.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/gl/GlRequirements.h"
#include "platform/Log.h"

#include <cstring>

namespace Orvanta {

bool loadTga(Image& image, const std::string& path, bool srgb)
{
    TgaImage tga;
    std::string error;
    if (!readTgaFile(path, tga, error)) {
        logError(error + "; using a white 1 x 1 texture instead");
        // A white opaque texel keeps materials that use the file drawable and visibly untextured.
        image.width = 1;
        image.height = 1;
        image.format = srgb ? PixelFormatSrgbBgra8 : PixelFormatBgra8;
        image.pixels.assign(4, 0xFF);
        return false;
    }
    image.width = tga.width;
    image.height = tga.height;
    if (tga.bitsPerPixel == 32)
        image.format = srgb ? PixelFormatSrgbBgra8 : PixelFormatBgra8;
    else
        image.format = srgb ? PixelFormatSrgbBgr8 : PixelFormatBgr8;
    image.pixels = std::move(tga.pixels);
    return true;
}

// The driver's limit on a texture's width and height, asked once.
static int maxTextureSize()
{
    static const int size = [] {
        GLint value = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
        return int(value);
    }();
    return size;
}

// A larger image would reach the driver only to fail there, with a GL error that names no file.
static bool fitsTextureLimit(const Image& image)
{
    const int limit = maxTextureSize();
    return limit <= 0 || (image.width <= uint32_t(limit) && image.height <= uint32_t(limit));
}

// Whether anisotropic filtering is worth asking for. Mesa's llvmpipe filters anisotropically by
// walking the whole footprint ellipse of a pixel in texels, whatever the maximum anisotropy is
// set to: where the texture mapping is close to singular (a leaf card seen almost edge-on) one
// pixel reads millions of texels, and a 160 x 90 frame of the demo took 20 s instead of 0.2 s.
// On that software rasterizer the textures are filtered trilinearly instead.
static bool anisotropicFilteringIsBounded()
{
    if (!hasGlExtension("GL_EXT_texture_filter_anisotropic"))
        return false;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return !renderer || !std::strstr(renderer, "llvmpipe");
}

static Texture2D* uploadImage(const Image& image)
{
    PixelFormatInfo info = pixelFormatInfo(image.format);
    auto* texture = new Texture2D();
    glBindTexture(GL_TEXTURE_2D, texture->name);
    // Rows of 24-bit images are not padded to four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, info.internalFormat, image.width, image.height, 0, info.clientFormat,
                 GL_UNSIGNED_BYTE, image.pixels.data());
    const bool srgb = image.format == PixelFormatSrgbBgr8 || image.format == PixelFormatSrgbBgra8;
    const bool alpha = image.format == PixelFormatBgra8 || image.format == PixelFormatSrgbBgra8;
    const std::vector<MipLevel> levels = buildMipChain(image.width, image.height, alpha ? 4 : 3, image.pixels, srgb);
    for (size_t i = 0; i < levels.size(); ++i)
        glTexImage2D(GL_TEXTURE_2D, GLint(i + 1), info.internalFormat, levels[i].width, levels[i].height, 0,
                     info.clientFormat, GL_UNSIGNED_BYTE, levels[i].pixels.data());
    // The texture stays complete, at the levels it has, whatever the chain held.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels.size()));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    texture->hasMipmaps = true;
    static const bool anisotropic = anisotropicFilteringIsBounded();
    if (anisotropic)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    checkGlErrors("uploading an image texture");
    return texture;
}

Texture2D* getTexture(const std::string& path, bool srgb)
{
    ResourceCache& cache = resourceCache();
    if (Texture2D* found = cache.textures.find(path))
        return found;
    Image image;
    if (!staysInContentRoots(path)) {
        logError(path + ": the path climbs out of the content folders with \"..\"; using a white 1 x 1 texture "
                        "instead");
        image.width = 1;
        image.height = 1;
        image.format = srgb ? PixelFormatSrgbBgra8 : PixelFormatBgra8;
        image.pixels.assign(4, 0xFF);
    } else if (loadTga(image, path, srgb) && !fitsTextureLimit(image)) {
        logError(path + ": " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                 " pixels exceed the largest texture the driver takes (" + std::to_string(maxTextureSize()) +
                 "); using a white 1 x 1 texture instead");
        image.width = 1;
        image.height = 1;
        image.format = srgb ? PixelFormatSrgbBgra8 : PixelFormatBgra8;
        image.pixels.assign(4, 0xFF);
    }
    // A file that failed to load is cached too (as its white stand-in) so it is reported once.
    Texture2D* texture = uploadImage(image);
    cache.textures.append(path, texture);
    return texture;
}

Texture2D* whiteTexture()
{
    static Texture2D* white = [] {
        Image image;
        image.width = 1;
        image.height = 1;
        image.format = PixelFormatBgra8;
        image.pixels.assign(4, 0xFF);
        return uploadImage(image);
    }();
    return white;
}

}  // namespace Orvanta
