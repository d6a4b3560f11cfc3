#include "renderer/HdrSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

namespace Orvanta {

void HdrSet::resizeTargets(int width, int height)
{
    scene.create(width, height);
    scene.addColorAttachment(0, PixelFormatRgb16F, 0, false);
    scene.addDepthStencilRenderbuffer();
    scene.setDrawBuffers();
    scene.checkComplete("HDR scene");
}

void HdrSet::create(int width, int height)
{
    resizeTargets(width, height);

    luminance.create(luminanceSize, luminanceSize);
    luminance.addColorAttachment(0, PixelFormatR16F, 1, true);
    luminance.setDrawBuffers();
    luminance.checkComplete("HDR luminance");

    for (int i = 0; i < 2; ++i) {
        adaptation[i].create(1, 1);
        adaptation[i].addColorAttachment(0, PixelFormatR16F, 0, false);
        adaptation[i].setDrawBuffers();
        adaptation[i].checkComplete(i == 0 ? "eye adaptation 0" : "eye adaptation 1");
        // Fresh textures hold undefined values; the eye must start from something sane.
        glViewport(0, 0, 1, 1);
        glClearColor(neutralLuminance, neutralLuminance, neutralLuminance, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Until the first exposure pass: the exposure of an unlit frame, never used by a frame (the
    // pass runs before the tone map) but defined for a tone map run on its own.
    exposure.create(1, 1);
    exposure.addColorAttachment(0, PixelFormatR32F, 0, false);
    exposure.setDrawBuffers();
    exposure.checkComplete("HDR exposure");
    glViewport(0, 0, 1, 1);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    adaptationIndex = 0;

    luminanceProgram = getFragmentProgram("resources/shaders/engine/HDR/luminanceTransformFragment.shader");
    eyeAdaptationProgram = getFragmentProgram("resources/shaders/engine/HDR/eyeAdaptationFragment.shader");
    exposureProgram = getFragmentProgram("resources/shaders/engine/HDR/exposureFragment.shader");
    toneMappingProgram = getProgram("resources/shaders/engine/HDR/toneMappingVertex.shader",
                                    "resources/shaders/engine/HDR/toneMappingFragment.shader");
}

}  // namespace Orvanta
