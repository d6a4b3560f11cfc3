#include "renderer/InjectionPointBuffer.h"

#include "platform/gl/GlExtensions.h"

namespace Orvanta {

namespace {

constexpr int injectionPointFloats = 5;

}  // namespace

InjectionPointBuffer::~InjectionPointBuffer()
{
    if (buffer) {
        GLuint id = buffer;
        glDeleteBuffersARB(1, &id);
    }
}

void InjectionPointBuffer::upload(const std::vector<InjectionPoint>& points)
{
    std::vector<float> data;
    data.reserve(points.size() * injectionPointFloats);
    for (const InjectionPoint& p : points) {
        data.insert(data.end(), {p.u, p.v, p.vertex.x, p.vertex.y, p.vertex.z});
    }
    if (!buffer) {
        GLuint id = 0;
        glGenBuffersARB(1, &id);
        buffer = id;
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    count = static_cast<int>(points.size());
}

void InjectionPointBuffer::draw() const
{
    if (!buffer || count == 0)
        return;
    const GLsizei stride = injectionPointFloats * sizeof(float);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glClientActiveTextureARB(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, nullptr);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glDrawArrays(GL_POINTS, 0, count);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

}  // namespace Orvanta
