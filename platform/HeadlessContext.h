#pragma once
#include "platform/PngFile.h"
#include "platform/RenderSurface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// An OpenGL compatibility context without a window (EGL, surfaceless on Mesa, a device display on
// NVIDIA), plus an offscreen target that stands for the window's framebuffer: sRGB-capable RGBA8
// colour with depth 24 and stencil 8. Everything the engine would draw into the window goes there.
class HeadlessContext final : public RenderSurface {
public:
    HeadlessContext() = default;
    ~HeadlessContext() override;
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Creates the context, makes it current on this thread and creates a width x height target.
    // On failure returns false and says why in `error`.
    bool create(int width, int height, std::string& error);

    int width() const override { return targetWidth; }
    int height() const override { return targetHeight; }
    unsigned framebuffer() const override { return targetFramebuffer; }
    void swapBuffers() override;
    // Gives the target a new size (its contents become undefined), as a resized window's
    // framebuffer would have; the renderer follows at its next frame.
    void resize(int width, int height);

    // The target's pixels as RGBA8, top row first (as a screenshot of the window would show).
    std::vector<uint8_t> readPixels() const;
    // Renderer, vendor and version strings of the context, for messages.
    std::string description() const;

private:
    void* display = nullptr;
    void* context = nullptr;
    int targetWidth = 0;
    int targetHeight = 0;
    unsigned targetFramebuffer = 0;
    unsigned colorBuffer = 0;
    unsigned depthStencilBuffer = 0;
};

}  // namespace Orvanta
