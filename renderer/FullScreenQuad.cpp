#include "renderer/FullScreenQuad.h"

#include "gpu/Semantics.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/MatrixStack.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

void drawFullScreenQuad(const FullScreenQuad& quad)
{
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // Corner rays in the order of the corners: bottom-left, bottom-right, top-right, top-left.
    Float3 rays[4];
    if (quad.rays) {
        rays[0] = quad.rays->bottomLeft;
        rays[1] = quad.rays->bottomRight;
        rays[2] = quad.rays->topRight;
        rays[3] = quad.rays->topLeft;
    }
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        float x = corners[i][0];
        float y = corners[i][1];
        glMultiTexCoord2fARB(GL_TEXTURE0, x, y);
        if (quad.rays)
            glMultiTexCoord3fARB(GL_TEXTURE1, rays[i].x, rays[i].y, rays[i].z);
        if (quad.withNoise)
            glMultiTexCoord2fARB(GL_TEXTURE2, x * quad.noiseWidth, y * quad.noiseHeight);
        glVertex3f(x, y, 0.0f);
    }
    glEnd();
}

void beginFullScreenPass()
{
    pushMatrices();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
}

void endFullScreenPass()
{
    glEnable(GL_DEPTH_TEST);
    popMatrices();
}

void drawFullScreenProgram(const ShaderProgram& program, UniformValueSource* uniforms, TextureUnitTable& units)
{
    beginFullScreenPass();
    applyPassUniforms(nullptr, nullptr, uniforms, program, nullptr);
    drawFullScreenQuad({});
    endFullScreenPass();
    units.unbindAll();
    glUseProgramObjectARB(0);
}

}  // namespace Orvanta
