#include "renderer/FrameBuffer.h"

#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

#include <cstdio>

namespace Orvanta {

FrameBuffer::~FrameBuffer()
{
    release();
}

void FrameBuffer::release()
{
    if (depthRenderbuffer) {
        GLuint id = depthRenderbuffer;
        glDeleteRenderbuffers(1, &id);
        depthRenderbuffer = 0;
    }
    if (framebufferId) {
        GLuint id = framebufferId;
        glDeleteFramebuffers(1, &id);
        framebufferId = 0;
    }
    colorTextures.clear();
    drawBuffers.clear();
}

void FrameBuffer::create(int newWidth, int newHeight)
{
    release();
    width = newWidth;
    height = newHeight;
    GLuint id = 0;
    glGenFramebuffers(1, &id);
    framebufferId = id;
    glBindFramebuffer(GL_FRAMEBUFFER, framebufferId);
}

void FrameBuffer::addColorAttachment(int index, int32_t format, int filter, bool mipmapped)
{
    auto texture = std::make_unique<Texture2D>();
    allocate2D(format, *texture, width, height, filter, mipmapped);
    GLenum attachment = GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(index);
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture->name, 0);
    colorTextures.push_back(std::move(texture));
    drawBuffers.push_back(attachment);
}

void FrameBuffer::attachDepthRenderbuffer(uint32_t internalFormat, bool alsoStencil)
{
    GLuint id = 0;
    glGenRenderbuffers(1, &id);
    depthRenderbuffer = id;
    glBindRenderbuffer(GL_RENDERBUFFER, id);
    glRenderbufferStorage(GL_RENDERBUFFER, internalFormat, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, id);
    if (alsoStencil)
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, id);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

void FrameBuffer::addDepthStencilRenderbuffer()
{
    attachDepthRenderbuffer(GL_DEPTH32F_STENCIL8, true);
}

void FrameBuffer::addDepthRenderbuffer()
{
    attachDepthRenderbuffer(GL_DEPTH_COMPONENT, false);
}

void FrameBuffer::setDrawBuffers()
{
    glDrawBuffersARB(static_cast<GLsizei>(drawBuffers.size()), drawBuffers.data());
}

bool FrameBuffer::checkComplete(const std::string& name) const
{
    if (!glDebugEnabled())
        return true;
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE)
        return true;
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", status);
    logError("render target '" + name + "' (" + std::to_string(width) + " x " + std::to_string(height) +
             ") is incomplete: framebuffer status " + code);
    return false;
}

Texture2D* FrameBuffer::colorTexture(size_t index) const
{
    return index < colorTextures.size() ? colorTextures[index].get() : nullptr;
}

}  // namespace Orvanta
