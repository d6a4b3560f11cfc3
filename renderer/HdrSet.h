#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/ScreenSizedTargets.h"

namespace Orvanta {

struct ShaderProgram;

// The floating-point scene target every lighting pass writes into, the 512 x 512 log-luminance
// target whose mipmap chain averages it, the two 1 x 1 adapted-luminance targets that carry the
// eye's adaptation from frame to frame, and the 1 x 1 exposure target the tone map reads. The
// adaptation index names the target the next frame's adaptation writes; the other holds the
// previous frame's value.
struct HdrSet : ScreenSizedTargets {
    static constexpr int luminanceSize = 512;
    // What the eye starts adapted to: a bright overcast day in the engine's radiance units, so
    // the first frames are neither black nor blown out before adaptation catches up.
    static constexpr float neutralLuminance = 0.6f;

    // Builds the set at the client size; leaves the last target bound.
    void create(int width, int height);
    // (Re)builds the client-sized scene target alone (the eye's adaptation is kept); leaves it
    // bound.
    void resizeTargets(int width, int height) override;

    Texture2D* sceneTexture() const { return scene.colorTexture(0); }
    Texture2D* luminanceTexture() const { return luminance.colorTexture(0); }
    Texture2D* exposureTexture() const { return exposure.colorTexture(0); }
    // A fixed exposure replaces the adapted one in the tone map, and the frame then measures
    // and adapts nothing.
    bool exposureFixed() const { return fixedExposure > 0.0f; }

    FrameBuffer scene;
    FrameBuffer luminance;
    FrameBuffer adaptation[2];
    // R32F: the exposure worked out from the adapted luminance, kept exactly as the tone map reads
    // it so that it can be read back.
    FrameBuffer exposure;
    int adaptationIndex = 0;
    // The frame's exposure when above 0 (HDR_FIXED_EXPOSURE); 0 or below: adapted.
    float fixedExposure = 0.0f;
    ShaderProgram* luminanceProgram = nullptr;
    ShaderProgram* eyeAdaptationProgram = nullptr;
    ShaderProgram* exposureProgram = nullptr;
    ShaderProgram* toneMappingProgram = nullptr;
};

}  // namespace Orvanta
