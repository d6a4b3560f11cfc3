#include "platform/gl/GlExtensions.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

namespace Orvanta {

void Renderer::updateSunAndSkyMap()
{
    if (!sky.updateFlag)
        return;
    sky.updateFlag = false;
    beginFullScreenPass();

    // The sun's colour: one pixel of shading, read back into the sun.
    applyPassUniforms(nullptr, nullptr, *sky.sunColorProgram, nullptr);
    pushFrameBuffer(&sky.skyMap);
    glViewport(0, 0, 1, 1);
    drawFullScreenQuad({});
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    glReadPixels(0, 0, 1, 1, GL_RGB, GL_FLOAT, rgb);
    if (sunLight) {
        sunLight->color[0] = rgb[0];
        sunLight->color[1] = rgb[1];
        sunLight->color[2] = rgb[2];
        sunLight->color[3] = 1.0f;
    }
    popFrameBuffer();

    // The sky map, which also overwrites the pixel the sun colour used.
    pushFrameBuffer(&sky.skyMap);
    applyPassUniforms(nullptr, nullptr, *sky.skyMapProgram, nullptr);
    drawFullScreenQuad({});
    popFrameBuffer();

    endFullScreenPass();
}

}  // namespace Orvanta
