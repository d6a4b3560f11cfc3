#include "renderer/FrameBufferStack.h"

#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "platform/RenderSurface.h"
#include "renderer/FrameBuffer.h"

namespace Orvanta {

void FrameBufferStack::setWindow(const RenderSurface* newWindow)
{
    window = newWindow;
}

bool FrameBufferStack::push(FrameBuffer* frameBuffer)
{
    if (depth >= capacity) {
        logError("render target stack is full (" + std::to_string(capacity) + " targets); push refused");
        return false;
    }
    slots[depth++] = frameBuffer;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer->framebufferId);
    glViewport(0, 0, frameBuffer->width, frameBuffer->height);
    return true;
}

void FrameBufferStack::pop()
{
    if (depth == 0)
        return;
    --depth;
    if (depth > 0) {
        FrameBuffer* next = slots[depth - 1];
        glBindFramebuffer(GL_FRAMEBUFFER, next->framebufferId);
        glViewport(0, 0, next->width, next->height);
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, window ? window->framebuffer() : 0);
        glViewport(0, 0, currentWidth(), currentHeight());
    }
}

int FrameBufferStack::currentWidth() const
{
    if (depth > 0)
        return slots[depth - 1]->width;
    return window ? window->width() : 0;
}

int FrameBufferStack::currentHeight() const
{
    if (depth > 0)
        return slots[depth - 1]->height;
    return window ? window->height() : 0;
}

}  // namespace Orvanta
