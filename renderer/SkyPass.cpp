#include "renderer/SkyPass.h"

#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "scene/Light.h"

namespace Orvanta {

void updateSunAndSkyMap(const PassContext& context, SkySet& set, SunLight* sun)
{
    if (!set.updateFlag)
        return;
    set.updateFlag = false;
    beginFullScreenPass();

    // The sun's colour: one pixel of shading, read back into the sun.
    applyProgramUniforms(context, *set.sunColorProgram, {});
    context.frameBuffers.push(&set.skyMap);
    glViewport(0, 0, 1, 1);
    drawFullScreenQuad({});
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    glReadPixels(0, 0, 1, 1, GL_RGB, GL_FLOAT, rgb);
    if (sun) {
        sun->color[0] = rgb[0];
        sun->color[1] = rgb[1];
        sun->color[2] = rgb[2];
        sun->color[3] = 1.0f;
    }
    context.frameBuffers.pop();

    // The sky map, which also overwrites the pixel the sun colour used.
    context.frameBuffers.push(&set.skyMap);
    applyProgramUniforms(context, *set.skyMapProgram, {});
    drawFullScreenQuad({});
    context.frameBuffers.pop();

    endFullScreenPass();
}

}  // namespace Orvanta
