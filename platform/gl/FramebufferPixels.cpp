#include "platform/gl/FramebufferPixels.h"

#include "platform/gl/GlExtensions.h"

#include <cstring>

namespace Orvanta {

std::vector<uint8_t> readFramebufferPixels(unsigned framebuffer, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> rows(stride * static_cast<size_t>(height));
    GLint previousRead = 0;
    GLint previousBuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glGetIntegerv(GL_READ_BUFFER, &previousBuffer);
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    glReadBuffer(static_cast<GLenum>(previousBuffer));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    // GL rows start at the bottom; a screenshot starts at the top.
    std::vector<uint8_t> flipped(rows.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(&flipped[static_cast<size_t>(y) * stride], &rows[static_cast<size_t>(height - 1 - y) * stride],
                    stride);
    return flipped;
}

}  // namespace Orvanta
