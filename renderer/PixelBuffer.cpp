#include "renderer/PixelBuffer.h"

#include "platform/gl/GlExtensions.h"

namespace Orvanta {

PixelBuffer::~PixelBuffer()
{
    release();
}

void PixelBuffer::release()
{
    if (id) {
        GLuint name = id;
        glDeleteBuffersARB(1, &name);
        id = 0;
    }
    mapped = nullptr;
}

void PixelBuffer::create(uint32_t newTarget, size_t newSize, uint32_t newUsage)
{
    release();
    target = newTarget;
    size = newSize;
    usage = newUsage;
    GLuint name = 0;
    glGenBuffersARB(1, &name);
    id = name;
    glBindBufferARB(target, id);
    glBufferDataARB(target, static_cast<GLsizeiptrARB>(size), nullptr, usage);
    glBindBufferARB(target, 0);
}

void* PixelBuffer::map(uint32_t access, bool freshStorage)
{
    glBindBufferARB(target, id);
    if (freshStorage)
        glBufferDataARB(target, static_cast<GLsizeiptrARB>(size), nullptr, usage);
    mapped = glMapBufferARB(target, access);
    glBindBufferARB(target, 0);
    return mapped;
}

void PixelBuffer::unmap(bool leaveBound)
{
    if (!mapped)
        return;
    glBindBufferARB(target, id);
    glUnmapBufferARB(target);
    mapped = nullptr;
    if (!leaveBound)
        glBindBufferARB(target, 0);
}

}  // namespace Orvanta
