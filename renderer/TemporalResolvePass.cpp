#include "renderer/TemporalResolvePass.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/TextureUnitTable.h"
#include "scene/Camera.h"

#include <algorithm>

namespace Orvanta {

Matrix4 temporalReprojection(const Camera& camera, const Matrix4& previousViewProjection)
{
    // Clip coordinates from (x z, y z, z, 1): x and y as given, clip z = -P10 z_eye + P14 with
    // z_eye = -z, and w = z.
    const Matrix4& p = camera.projectionMatrix;
    Matrix4 toClip;
    toClip[10] = -p[10];
    toClip[14] = p[14];
    toClip[11] = 1.0f;
    toClip[15] = 0.0f;
    return multiply(previousViewProjection, multiply(inverse(camera.viewProjectionMatrix), toClip));
}

void resolveTemporalHistory(const PassContext& context, TemporalResolveSet& set, const TemporalResolveInputs& in)
{
    if (!set.created() || !in.scene || !in.camera)
        return;
    const bool historyKept = set.frames > 0 && set.key == in.key;
    set.key = in.key;
    const Matrix4& viewProjection = in.camera->viewProjectionMatrix;
    const bool cameraStill = !in.lightingSettling &&
                             std::equal(viewProjection.m, viewProjection.m + 16, set.previousViewProjection.m);
    const TemporalBlend blend = planTemporalBlend(set, historyKept, cameraStill);
    const Matrix4 reprojection = blend.moving ? temporalReprojection(*in.camera, set.previousViewProjection)
                                              : Matrix4{};
    FrameBuffer& target = set.history[set.writeIndex];
    TemporalResolveValues values;
    values.blend = blend;
    values.reprojection = reprojection;
    values.history = set.previousTexture();
    values.texelWidth = 1.0f / static_cast<float>(target.width);
    values.texelHeight = 1.0f / static_cast<float>(target.height);
    TemporalResolveUniforms uniforms(context.uniforms, values);

    context.frameBuffers.push(&target);
    drawFullScreenProgram(blend.moving ? *set.movingProgram : *set.stillProgram, &uniforms, context.textureUnits);
    // The resolved frame replaces the scene's colour: copied from the history just written
    // (same size, nearest), converted to the scene's half floats.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, in.scene->framebufferId);
    glBlitFramebuffer(0, 0, target.width, target.height, 0, 0, target.width, target.height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    context.frameBuffers.pop();

    set.writeIndex = 1 - set.writeIndex;
    set.previousViewProjection = viewProjection;
    ++set.jitterFrame;
}

}  // namespace Orvanta
