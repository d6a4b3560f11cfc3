#include "content/SubmeshDraw.h"

#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"

namespace Orvanta {

void bindObjectBuffers(const Object& object)
{
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, object.indexBuffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, object.vertexBuffer);
}

void unbindObjectBuffers()
{
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void drawSubmesh(const Submesh& submesh, FaceSides sides)
{
    const bool doubleSided = sides == FaceSides::Both || (submesh.material && submesh.material->material &&
                                                          submesh.material->material->isDoubleSided);
    if (doubleSided)
        glDisable(GL_CULL_FACE);
    glDrawElements(GL_TRIANGLES, submeshIndexCount(submesh), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(submeshIndexOffset(submesh)));
    if (doubleSided)
        glEnable(GL_CULL_FACE);
}

}  // namespace Orvanta
