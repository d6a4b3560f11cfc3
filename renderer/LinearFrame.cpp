#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HdrImage.h"
#include "platform/RenderSurface.h"
#include "renderer/AntiAliasingPass.h"
#include "renderer/FrameOverlay.h"
#include "renderer/HdrPass.h"
#include "renderer/Renderer.h"

#include <cmath>
#include <cstring>

namespace Orvanta {

float Renderer::toneMapExposure()
{
    if (hdr.exposureFixed())
        return hdr.fixedExposure;
    float exposure = 0.0f;
    pushFrameBuffer(&hdr.exposure);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, 1, 1, GL_RED, GL_FLOAT, &exposure);
    popFrameBuffer();
    return exposure;
}

HdrImage Renderer::readLinearFrame()
{
    HdrImage image;
    image.width = hdr.scene.width;
    image.height = hdr.scene.height;
    const size_t stride = static_cast<size_t>(image.width) * 3;
    std::vector<float> rows(stride * static_cast<size_t>(image.height));
    pushFrameBuffer(&hdr.scene);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_FLOAT, rows.data());
    popFrameBuffer();
    // GL rows start at the bottom; the image's at the top.
    image.rgb.resize(rows.size());
    for (int y = 0; y < image.height; ++y)
        std::memcpy(&image.rgb[static_cast<size_t>(y) * stride],
                    &rows[static_cast<size_t>(image.height - 1 - y) * stride], stride * sizeof(float));
    image.exposure = toneMapExposure();
    return image;
}

bool Renderer::presentLinearImage(const HdrImage& image, float exposure, std::string& error)
{
    if (!ready) {
        error = "presentLinearImage: the renderer has not been set up";
        return false;
    }
    if (image.width != hdr.scene.width || image.height != hdr.scene.height) {
        error = "presentLinearImage: the image is " + std::to_string(image.width) + " x " +
                std::to_string(image.height) + " pixels, the window " + std::to_string(hdr.scene.width) + " x " +
                std::to_string(hdr.scene.height);
        return false;
    }
    if (image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) {
        error = "presentLinearImage: the image holds " + std::to_string(image.rgb.size()) +
                " values, not 3 for each pixel";
        return false;
    }
    if (!(exposure > 0.0f) || !std::isfinite(exposure)) {
        error = "presentLinearImage: the exposure must be a finite number above 0";
        return false;
    }
    // Into the scene target, bottom row first as GL stores it; converted to the target's
    // half floats by GL, exactly as the lighting passes' output is.
    const size_t stride = static_cast<size_t>(image.width) * 3;
    std::vector<float> rows(image.rgb.size());
    for (int y = 0; y < image.height; ++y)
        std::memcpy(&rows[static_cast<size_t>(image.height - 1 - y) * stride],
                    &image.rgb[static_cast<size_t>(y) * stride], stride * sizeof(float));
    textureUnits.bind(0, hdr.sceneTexture());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width, image.height, GL_RGB, GL_FLOAT, rows.data());
    textureUnits.unbindAll();

    // The frame's tone map alone, at the given exposure, into the window's framebuffer.
    // An empty stack binds the window's framebuffer at its size.
    pushFrameBuffer(&hdr.scene);
    popFrameBuffer();
    const bool smoothEdges = renderSettingOn(AntiAliasing) && !temporalAntiAliasingOn() && antiAliasing.created();
    glEnable(GL_FRAMEBUFFER_SRGB);
    const PassContext context = passContext();
    pass("tone mapping", true, [&] { toneMap(context, hdr, {exposure, smoothEdges ? &antiAliasing.input : nullptr}); });
    pass("anti-aliasing", smoothEdges, [&] { drawAntiAliasing(context, antiAliasing); });
    glDisable(GL_FRAMEBUFFER_SRGB);
    // The frames drawn after this picture start their average afresh.
    temporal.resetHistory();
    pass("overlay", overlay != nullptr, [&] { overlay->drawOverlay(overlayTarget()); });
    surface->swapBuffers();
    return true;
}

}  // namespace Orvanta
