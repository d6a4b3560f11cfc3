#include "renderer/RayTracingSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "raytracing/PixelTracing.h"
#include "raytracing/RayTracer.h"

#include <algorithm>
#include <chrono>

namespace Orvanta {

namespace {

// Origin, reflection and refraction direction: four half floats per texel.
constexpr size_t rayTexelBytes = 8;

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void createRayInput(RayTracingSet& set)
{
    set.rayInput.create(set.width, set.height);
    for (int i = 0; i < RayTracingSet::rayAttachmentCount; ++i)
        set.rayInput.addColorAttachment(i, PixelFormatRgba16F, 0, false);
    set.rayInput.addDepthRenderbuffer();
    set.rayInput.setDrawBuffers();
    set.rayInput.checkComplete("ray input");
    const size_t size = static_cast<size_t>(set.width) * static_cast<size_t>(set.height) * rayTexelBytes;
    for (PixelBuffer& buffer : set.readBacks)
        buffer.create(GL_PIXEL_PACK_BUFFER_ARB, size, GL_STREAM_READ_ARB);
}

// Everything sized by the tracing resolution: the ray input with its read-backs, both traced
// G-buffers, their ping-pong targets and the border correction's offsets.
void createTargets(RayTracingSet& set)
{
    createRayInput(set);
    set.reflections.create(set.width, set.height, set.rayInput.colorTexture(0), set.rayInput.colorTexture(1));
    set.refractions.create(set.width, set.height, set.rayInput.colorTexture(0), set.rayInput.colorTexture(2));
    set.reflectionTargets.create(set.width, set.height);
    set.refractionTargets.create(set.width, set.height);
    fillBorderCorrectionOffsets(set.borderCorrectionOffsets, set.width, set.height);
}

void unmapReadBacks(RayTracingSet& set)
{
    for (PixelBuffer& buffer : set.readBacks)
        buffer.unmap(false);
}

}  // namespace

void PingPongTargets::create(int width, int height)
{
    for (FrameBuffer& target : targets) {
        target.create(width, height);
        target.addColorAttachment(0, PixelFormatRgb16F, 1, false);
        target.addDepthStencilRenderbuffer();
        target.setDrawBuffers();
        target.checkComplete("ray-traced lighting target");
    }
    index = 0;
}

void fillBorderCorrectionOffsets(float offsets[9][2], int width, int height)
{
    const float dx = width > 0 ? 1.0f / static_cast<float>(width) : 0.0f;
    const float dy = height > 0 ? 1.0f / static_cast<float>(height) : 0.0f;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            offsets[row * 3 + column][0] = static_cast<float>(column - 1) * dx;
            offsets[row * 3 + column][1] = static_cast<float>(row - 1) * dy;
        }
}

void RayTracingSet::resizeTargets(int clientWidth, int clientHeight)
{
    // A side of one pixel still gets a one-pixel target: GL has no empty ones.
    width = std::max(clientWidth / static_cast<int>(RayTracer::divisor), 1);
    height = std::max(clientHeight / static_cast<int>(RayTracer::divisor), 1);
    createTargets(*this);
    // Rays read back at the old size went with the buffers that held them.
    raysPending = false;
    refracting = false;
    traced = false;
    lastFrame = {};
    if (tracer)
        tracer->resize(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

void createRayTracingSet(RayTracingSet& set, RayTracer& tracer, int clientWidth, int clientHeight)
{
    set.tracer = &tracer;
    set.width = clientWidth / static_cast<int>(RayTracer::divisor);
    set.height = clientHeight / static_cast<int>(RayTracer::divisor);
    createTargets(set);
    set.renderSkyProgram = getFragmentProgram("resources/shaders/engine/raytracing/renderSkyFragment.shader");
    set.borderCorrectionProgram = getFragmentProgram(
        "resources/shaders/engine/raytracing/antiAliasingBorderCorrectionFragment.shader");
    tracer.create(static_cast<uint32_t>(set.width), static_cast<uint32_t>(set.height));
    if (tracer.width() != static_cast<uint32_t>(set.width) || tracer.height() != static_cast<uint32_t>(set.height))
        logError("ray tracing: the ray tracer already runs at " + std::to_string(tracer.width()) + " x " +
                 std::to_string(tracer.height()) + ", not at the renderer's " + std::to_string(set.width) + " x " +
                 std::to_string(set.height) + "; regions that do not fit are not traced");
}

void readBackRays(RayTracingSet& set, bool withRefractions)
{
    if (set.raysPending || !set.tracer)
        return;
    set.refracting = false;
    const auto start = std::chrono::steady_clock::now();
    const PixelRect& region = set.tracer->region();
    // The tracer cuts regions at its own resolution; one made at another size than these
    // buffers must not have them read or written past their ends.
    if (region.x + region.width > static_cast<uint32_t>(set.width) ||
        region.y + region.height > static_cast<uint32_t>(set.height))
        return;
    for (int i = 0; i < RayTracingSet::rayAttachmentCount; ++i) {
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, set.readBacks[i].id);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i));
        // With the pack buffer bound the pointer is an offset into it; rows are packed tightly.
        glReadPixels(static_cast<GLint>(region.x), static_cast<GLint>(region.y), static_cast<GLsizei>(region.width),
                     static_cast<GLsizei>(region.height), GL_RGBA, GL_HALF_FLOAT_ARB, nullptr);
    }
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    bool mapped = true;
    for (PixelBuffer& buffer : set.readBacks)
        mapped = buffer.map(GL_READ_ONLY_ARB, false) && mapped;
    mapped = mapped && set.reflections.mapUploadBuffers();
    if (mapped && withRefractions && !set.refractions.mapUploadBuffers()) {
        set.reflections.unmapAndUpload({});
        mapped = false;
    }
    if (!mapped) {
        unmapReadBacks(set);
        return;
    }
    set.raysPending = true;
    set.refracting = withRefractions;
    ++set.readBackCount;
    set.lastFrame = {};
    set.lastFrame.region = region;
    set.lastFrame.readBackMilliseconds = millisecondsSince(start);
}

void traceRays(RayTracingSet& set)
{
    if (!set.raysPending || set.traced)
        return;
    set.traced = true;
    const PixelRect& region = set.tracer->region();
    TraceRegion arrays;
    arrays.width = region.width;
    arrays.height = region.height;
    arrays.origins = static_cast<const uint16_t*>(set.readBacks[0].mapped);
    arrays.directions = static_cast<const uint16_t*>(set.readBacks[1].mapped);
    arrays.colors = set.reflections.mappedColors();
    arrays.normals = set.reflections.mappedNormals();
    arrays.positions = set.reflections.mappedPositions();
    TraceRegion refractions;
    if (set.refracting) {
        refractions = arrays;
        refractions.rays = TracedRays::Refraction;
        refractions.directions = static_cast<const uint16_t*>(set.readBacks[2].mapped);
        refractions.colors = set.refractions.mappedColors();
        refractions.normals = set.refractions.mappedNormals();
        refractions.positions = set.refractions.mappedPositions();
    }
    const auto start = std::chrono::steady_clock::now();
    const RayTracer::RayCounts counts = set.tracer->traceRegions(arrays, refractions);
    set.lastFrame.traceMilliseconds = millisecondsSince(start);
    set.lastFrame.rays = counts.reflection;
    set.lastFrame.refractionRays = counts.refraction;
}

void uploadTracedRays(RayTracingSet& set)
{
    if (!set.raysPending)
        return;
    const auto start = std::chrono::steady_clock::now();
    unmapReadBacks(set);
    // Untraced outputs would upload whatever the fresh storage held.
    const PixelRect traced = set.traced ? set.tracer->region() : PixelRect{};
    set.reflections.unmapAndUpload(traced);
    // Without a refraction ray nothing reads the refraction textures this frame.
    if (set.refracting)
        set.refractions.unmapAndUpload(set.lastFrame.refractionRays > 0 ? traced : PixelRect{});
    set.raysPending = false;
    set.traced = false;
    set.lastFrame.uploadMilliseconds = millisecondsSince(start);
}

}  // namespace Orvanta
