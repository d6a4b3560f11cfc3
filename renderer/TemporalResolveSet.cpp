#include "renderer/TemporalResolveSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

#include <algorithm>

namespace Orvanta {

const char* const TemporalResolveStillShaderPath = "resources/shaders/engine/temporalResolveStillFragment.shader";
const char* const TemporalResolveMovingShaderPath = "resources/shaders/engine/temporalResolveMovingFragment.shader";

void TemporalResolveSet::create(int width, int height)
{
    resizeTargets(width, height);
    stillProgram = getFragmentProgram(TemporalResolveStillShaderPath);
    movingProgram = getFragmentProgram(TemporalResolveMovingShaderPath);
}

void TemporalResolveSet::resizeTargets(int width, int height)
{
    constexpr int filterLinear = 1;
    // Single-precision floats: a still pixel's 1/16 steps stay far above the rounding, which at
    // half precision would stop the mean short of its value.
    for (FrameBuffer& target : history) {
        target.create(width, height);
        target.addColorAttachment(0, PixelFormatRgba32F, filterLinear, false);
        target.setDrawBuffers();
        target.checkComplete("temporal history");
    }
    resetHistory();
}

TemporalBlend planTemporalBlend(TemporalResolveSet& set, bool historyKept, bool cameraStill)
{
    if (!historyKept)
        set.frames = 0;
    set.frames = std::min(set.frames + 1, TemporalMaxFrames);
    TemporalBlend blend;
    blend.moving = !cameraStill && set.frames > 1;
    blend.weight = 1.0f / static_cast<float>(set.frames);
    if (blend.moving)
        blend.weight = std::max(blend.weight, TemporalMovingBlend);
    return blend;
}

bool TemporalResolveUniforms::setUniform(UniformSemantic semantic, int location, const UniformContext& context)
{
    if (semantic == TEMPORAL_REPROJECTION_MATRIX) {
        glUniformMatrix4fvARB(location, 1, GL_FALSE, values.reprojection.m);
        return true;
    }
    if (semantic == TEMPORAL_BLEND) {
        glUniform4fARB(location, values.blend.weight, values.blend.moving ? 1.0f : 0.0f, values.texelWidth,
                       values.texelHeight);
        return true;
    }
    return frame.setUniform(semantic, location, context);
}

Texture* TemporalResolveUniforms::texture(UniformSemantic semantic, const UniformContext& context)
{
    if (semantic == TEMPORAL_HISTORY_TEXTURE)
        return values.history;
    return frame.texture(semantic, context);
}

}  // namespace Orvanta
