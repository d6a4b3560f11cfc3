#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orvanta {

// A GPU texture object. The GL name is created with the object and deleted with it, so a texture
// must only be constructed and destroyed while a context is current.
class Texture {
public:
    Texture();
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // The GL binding target (GL_TEXTURE_2D or GL_TEXTURE_3D).
    virtual uint32_t target() const = 0;

    uint32_t name = 0;
    bool hasMipmaps = false;
};

class Texture2D : public Texture {
public:
    uint32_t target() const override;
};

// A depth render target: GL_DEPTH_COMPONENT storage, nearest filtering, clamped edges.
class DepthTexture : public Texture2D {
public:
    DepthTexture(int width, int height);
};

class Texture3D : public Texture {
public:
    uint32_t target() const override;
};

// Internal format, client format and client type of a texture; any other value is treated as
// PixelFormatRgb8.
enum PixelFormat : int32_t {
    PixelFormatIntensity8 = 0,  // GL_INTENSITY8, GL_RED, bytes
    PixelFormatRgb8 = 1,        // GL_RGB8, GL_RGB, bytes
    PixelFormatBgr8 = 2,        // GL_RGB8, GL_BGR, bytes
    PixelFormatRgba8 = 3,       // GL_RGBA8, GL_RGBA, bytes
    PixelFormatBgra8 = 4,       // GL_RGBA8, GL_BGRA, bytes
    PixelFormatSrgbBgr8 = 5,    // GL_SRGB8, GL_BGR, bytes
    PixelFormatSrgbBgra8 = 6,   // GL_SRGB8_ALPHA8, GL_BGRA, bytes
    PixelFormatR16F = 7,        // GL_R16F, GL_RED, floats
    PixelFormatR32F = 8,        // GL_R32F, GL_RED, floats
    PixelFormatRg16F = 9,       // GL_RG16F, GL_RG, floats
    PixelFormatRgb16F = 10,     // GL_RGB16F, GL_RGB, floats
    PixelFormatRgba16F = 11,    // GL_RGBA16F, GL_RGBA, floats
    PixelFormatRgb32F = 12,     // GL_RGB32F, GL_RGB, floats
    PixelFormatRgba32F = 13,    // GL_RGBA32F, GL_RGBA, floats
};

struct PixelFormatInfo {
    uint32_t internalFormat;
    uint32_t clientFormat;
    uint32_t clientType;  // the type used when uploading data of this format
};
PixelFormatInfo pixelFormatInfo(int32_t format);

// Storage for a render target. filter 0: nearest; filter 1: linear (trilinear when mipmapped).
// Edges clamp in s, t and r.
void allocate2D(int32_t format, Texture2D& texture, int width, int height, int filter, bool mipmapped);
// Storage for a volume texture: linear filtering, clamped edges.
void allocate3D(int32_t format, Texture3D& texture, int width, int height, int depth);
// A 1 x 1 RGBA8 texture of one opaque colour, sampled nearest: the stand-in for a texture a
// material does not name.
std::unique_ptr<Texture2D> solidTexture(uint8_t r, uint8_t g, uint8_t b);

// A decoded image, rows tightly packed in blue-green-red(-alpha) order.
struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t format = PixelFormatBgr8;
    std::vector<uint8_t> pixels;
};

// Decodes an uncompressed 24- or 32-bit TGA file (format Bgr8/Bgra8, or the sRGB variants when
// srgb is set). On failure logs one message naming the path and the problem, leaves a 1 x 1 white
// opaque image and returns false.
bool loadTga(Image& image, const std::string& path, bool srgb);

// The cached image texture for a path: loaded on first request (mipmapped, trilinear, 16x
// anisotropic where available except on llvmpipe, repeating), the same texture on every later
// request. The srgb choice of the first request stays in force.
Texture2D* getTexture(const std::string& path, bool srgb);

// A shared 1 x 1 white opaque texture, the stand-in for textures that could not be found.
Texture2D* whiteTexture();

}  // namespace Orvanta
