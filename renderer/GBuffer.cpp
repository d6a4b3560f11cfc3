#include "renderer/GBuffer.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"

namespace Orvanta {

namespace {
const char* const shaderDirectory = "resources/shaders/engine/deferredRendering/";

std::string shaderPath(const char* name)
{
    return std::string(shaderDirectory) + name + ".shader";
}
}  // namespace

void GBuffer::resizeTargets(int width, int height)
{
    frameBuffer.create(width, height);
    frameBuffer.addColorAttachment(Color, PixelFormatRgba8, 0, false);
    frameBuffer.addColorAttachment(Normal, PixelFormatRgba16F, 0, false);
    frameBuffer.addColorAttachment(GeometryNormal, PixelFormatRgb16F, 0, false);
    frameBuffer.addColorAttachment(Depth, PixelFormatR16F, 0, false);
    frameBuffer.addColorAttachment(Position, PixelFormatRgb16F, 0, false);
    frameBuffer.addDepthStencilRenderbuffer();
    frameBuffer.setDrawBuffers();
    frameBuffer.checkComplete("G-buffer");
}

void GBuffer::create(int width, int height)
{
    resizeTargets(width, height);
    defaultWriteProgram = getProgram(shaderPath("defaultGBufferWriteVertex"),
                                     shaderPath("defaultGBufferWriteFragment"));
    alphaTestedWriteProgram = getProgram(shaderPath("defaultGBufferWriteVertex"),
                                         shaderPath("alphaTestedGBufferWriteFragment"));
    pointLightMaskProgram = getFragmentProgram(shaderPath("lightMaskWritePointLightFragment"));
    sunLightMaskProgram = getFragmentProgram(shaderPath("lightMaskWriteSunLightFragment"));
    pointLightProgram = getFragmentProgram(shaderPath("pointLightFragment"));
    sunLightProgram = getFragmentProgram(shaderPath("sunLightFragment"));
    raytracedSunLightProgram = getFragmentProgram(shaderPath("raytracingSunLightFragment"));
}

Texture* GBuffer::colorTexture()
{
    return frameBuffer.colorTexture(Color);
}

Texture* GBuffer::normalTexture()
{
    return frameBuffer.colorTexture(Normal);
}

Texture* GBuffer::positionTexture()
{
    return frameBuffer.colorTexture(Position);
}

Texture* GBuffer::geometryNormalTexture()
{
    return frameBuffer.colorTexture(GeometryNormal);
}

Texture* GBuffer::depthTexture()
{
    return frameBuffer.colorTexture(Depth);
}

}  // namespace Orvanta
