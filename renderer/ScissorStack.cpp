#include "renderer/ScissorStack.h"

#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

namespace Orvanta {

bool ScissorStack::push(int x, int y, int width, int height)
{
    if (depth >= capacity) {
        logError("scissor stack is full (" + std::to_string(capacity) + " rectangles); push refused");
        return false;
    }
    slots[depth++] = Rect{x, y, width, height};
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, width, height);
    return true;
}

void ScissorStack::pop()
{
    if (depth == 0)
        return;
    --depth;
    if (depth == 0) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    const Rect& r = slots[depth - 1];
    glScissor(r.x, r.y, r.width, r.height);
}

}  // namespace Orvanta
