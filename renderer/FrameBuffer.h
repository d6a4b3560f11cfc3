#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orvanta {

class Texture2D;

// One off-screen render target: a framebuffer object, its colour textures (owned, in attachment
// order) and optionally one depth (or depth-stencil) renderbuffer. Every attachment has the
// framebuffer's size. Textures are never shared between framebuffers: each attachment call makes
// a new one. GL objects are deleted with the framebuffer, so it must die while the context lives.
class FrameBuffer {
public:
    FrameBuffer() = default;
    ~FrameBuffer();
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    // Stores the size and generates the framebuffer object, then binds it so that the
    // attachment calls that follow apply to it. Creating it again (at a new size) first deletes
    // everything it held, attachments included.
    void create(int width, int height);
    // A new Texture2D of the pixel format, attached at colour attachment `index`, level 0.
    void addColorAttachment(int index, int32_t format, int filter, bool mipmapped);
    // GL_DEPTH32F_STENCIL8, attached as depth and as stencil.
    void addDepthStencilRenderbuffer();
    // GL_DEPTH_COMPONENT, attached as depth only.
    void addDepthRenderbuffer();
    // glDrawBuffersARB with every colour attachment, in attachment order.
    void setDrawBuffers();
    // With GL checking on, reports an incomplete framebuffer (naming it and the status) and
    // returns false. The framebuffer must be bound. Without checking it returns true unasked.
    bool checkComplete(const std::string& name) const;

    Texture2D* colorTexture(size_t index) const;

    uint32_t framebufferId = 0;
    int width = 0;
    int height = 0;
    std::vector<std::unique_ptr<Texture2D>> colorTextures;
    std::vector<uint32_t> drawBuffers;
    uint32_t depthRenderbuffer = 0;

private:
    void release();
    void attachDepthRenderbuffer(uint32_t internalFormat, bool alsoStencil);
};

}  // namespace Orvanta
