#pragma once
#include "gpu/Semantics.h"
#include "renderer/FeatureSwitches.h"
#include "renderer/FrameBuffer.h"
#include "renderer/RenderSettings.h"
#include "renderer/ScreenSizedTargets.h"
#include "renderer/TemporalJitter.h"

#include <cstdint>

namespace Orvanta {

struct ShaderProgram;

extern const char* const TemporalResolveStillShaderPath;
extern const char* const TemporalResolveMovingShaderPath;

// The most frames a still view averages: the jitter's period, so that a converged still pixel is
// the plain mean of one sample at every offset.
constexpr int TemporalMaxFrames = static_cast<int>(TemporalJitterPeriod);
// How much of the current frame a moving view takes in: the rest is the clamped history.
constexpr float TemporalMovingBlend = 0.1f;

// What the accumulated history belongs to: when any of it changes from one frame to the next, the
// history is dropped and the frame starts afresh.
struct TemporalHistoryKey {
    int width = 0;
    int height = 0;
    Float3 sunDirection;
    bool features[FeatureSwitchCount] = {};
    bool settings[RenderSettingCount] = {};
    bool operator==(const TemporalHistoryKey& other) const = default;
};

// How this frame's colour and the history are combined (see planTemporalBlend).
struct TemporalBlend {
    // Weight of the current frame: 1 takes the current frame alone.
    float weight = 1.0f;
    // The camera moved: the history is reprojected and clamped to the current neighbourhood.
    bool moving = false;
};

// Temporal anti-aliasing: every frame draws the scene with its projection moved by a sub-pixel
// offset (TemporalJitter.h); the resolve averages the linear HDR frames into a history that is
// reprojected along the camera's motion, and writes the result back into the scene target before
// the exposure is measured and the frame tone-mapped. Two full-size float history targets
// alternate: one is read as the previous result while the other is written.
struct TemporalResolveSet : ScreenSizedTargets {
    // Builds the history targets at the client size and the programs; leaves a target bound.
    void create(int width, int height);
    // (Re)builds the history targets alone for a new client size and drops the history.
    void resizeTargets(int width, int height) override;
    bool created() const { return stillProgram != nullptr && movingProgram != nullptr; }
    // Forgets the history: the next frame resolves to its own colour.
    void resetHistory() { frames = 0; }

    // The offset of the frame now being drawn, in pixels.
    PixelOffset frameJitter() const { return temporalJitter(jitterFrame); }
    Texture2D* previousTexture() const { return history[1 - writeIndex].colorTexture(0); }

    FrameBuffer history[2];
    // The target the next resolve writes; the other holds the previous result.
    int writeIndex = 0;
    // Frames averaged into the history since it was last dropped (at most TemporalMaxFrames).
    int frames = 0;
    // Counts every jittered frame; picks the offset.
    uint32_t jitterFrame = 0;
    TemporalHistoryKey key;
    // The camera's unjittered view-projection of the frame the history was last written in.
    Matrix4 previousViewProjection;
    // The blend of a still camera (history at the pixel) and of a moving one (reprojected,
    // filtered and clipped).
    ShaderProgram* stillProgram = nullptr;
    ShaderProgram* movingProgram = nullptr;
};

// The blend of the next frame, advancing the set's frame count: a dropped history takes the frame
// alone; a still view then averages up to TemporalMaxFrames frames with equal weight (1/n for the
// n-th); a moving one takes at least TemporalMovingBlend of the current frame.
TemporalBlend planTemporalBlend(TemporalResolveSet& set, bool historyKept, bool cameraStill);

// What one resolve draw feeds its program besides the frame's values: TEMPORAL_BLEND (weight,
// moving as 0 or 1, texel width and height), TEMPORAL_REPROJECTION_MATRIX (taking this frame's
// device coordinates to the previous frame's) and TEMPORAL_HISTORY_TEXTURE (the previous result).
struct TemporalResolveValues {
    TemporalBlend blend;
    Matrix4 reprojection;
    Texture* history = nullptr;
    float texelWidth = 0.0f;
    float texelHeight = 0.0f;
};

// The resolve draw's values over the frame's: every other semantic is asked of the frame's source.
class TemporalResolveUniforms : public UniformValueSource {
public:
    TemporalResolveUniforms(UniformValueSource& frame, const TemporalResolveValues& values)
        : frame(frame), values(values)
    {
    }
    bool setUniform(UniformSemantic semantic, int location, const UniformContext& context) override;
    Texture* texture(UniformSemantic semantic, const UniformContext& context) override;
    void bindTextureUnit(int unit, Texture* texture) override { frame.bindTextureUnit(unit, texture); }

private:
    UniformValueSource& frame;
    TemporalResolveValues values;
};

}  // namespace Orvanta
