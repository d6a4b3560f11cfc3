#pragma once
// Small GL scaffolding shared by the shadow tests: a framebuffer stack standing in for the
// renderer's, flat quads as shadow casters, and a uniform source feeding the shadow semantics.
#include "platform/gl/GlExtensions.h"
#include "gpu/Semantics.h"
#include "gpu/ShaderProgram.h"
#include "renderer/ShadowMapRendering.h"
#include "renderer/ShadowUniforms.h"

#include <string>
#include <vector>

namespace ShadowTest {

// A horizontal square at height y, centred on (cx, cz), of half-size h.
struct FlatQuad {
    float cx, y, cz, h;
};

// Pushes and pops targets the way the renderer's stack does: the previous target and its
// viewport come back on pop.
class FrameBufferStack {
public:
    explicit FrameBufferStack(unsigned windowFramebuffer, int width, int height)
        : window(windowFramebuffer), windowWidth(width), windowHeight(height)
    {
    }
    void push(Orvanta::FrameBuffer& frameBuffer)
    {
        stack.push_back(&frameBuffer);
        Orvanta::glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer.framebufferId);
        glViewport(0, 0, frameBuffer.width, frameBuffer.height);
    }
    void pop()
    {
        if (stack.empty())
            return;
        stack.pop_back();
        if (stack.empty()) {
            Orvanta::glBindFramebuffer(GL_FRAMEBUFFER, window);
            glViewport(0, 0, windowWidth, windowHeight);
        } else {
            Orvanta::glBindFramebuffer(GL_FRAMEBUFFER, stack.back()->framebufferId);
            glViewport(0, 0, stack.back()->width, stack.back()->height);
        }
    }
    size_t depth() const { return stack.size(); }

private:
    unsigned window;
    int windowWidth;
    int windowHeight;
    std::vector<Orvanta::FrameBuffer*> stack;
};

inline void drawFlatQuad(const FlatQuad& q)
{
    glBegin(GL_QUADS);
    glVertex3f(q.cx - q.h, q.y, q.cz - q.h);
    glVertex3f(q.cx - q.h, q.y, q.cz + q.h);
    glVertex3f(q.cx + q.h, q.y, q.cz + q.h);
    glVertex3f(q.cx + q.h, q.y, q.cz - q.h);
    glEnd();
}

// Hooks that draw the given casters with a z-fill program into whatever map is being rendered.
inline Orvanta::ShadowPassHooks castersHooks(FrameBufferStack& stack,
    const Orvanta::ShaderProgram* zFill, const std::vector<FlatQuad>& casters, int* drawCount)
{
    Orvanta::ShadowPassHooks hooks;
    hooks.pushFrameBuffer = [&stack](Orvanta::FrameBuffer& fb) { stack.push(fb); };
    hooks.popFrameBuffer = [&stack] { stack.pop(); };
    hooks.drawShadowCasters = [zFill, casters, drawCount](Orvanta::SceneView&) {
        Orvanta::glUseProgramObjectARB(zFill->program);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_CULL_FACE);
        for (const FlatQuad& q : casters)
            drawFlatQuad(q);
        Orvanta::glUseProgramObjectARB(0);
        if (drawCount)
            ++*drawCount;
    };
    return hooks;
}

// Feeds the shadow semantics from a shadow set, as the renderer's value source does.
class ShadowValueSource : public Orvanta::UniformValueSource {
public:
    explicit ShadowValueSource(const Orvanta::ShadowMapSet& shadowSet) : set(shadowSet) {}
    bool setUniform(Orvanta::UniformSemantic semantic, int location,
        const Orvanta::UniformContext&) override
    {
        return Orvanta::setShadowUniform(set, semantic, location);
    }
    Orvanta::Texture* texture(Orvanta::UniformSemantic semantic,
        const Orvanta::UniformContext&) override
    {
        return Orvanta::shadowTexture(set, semantic);
    }

private:
    const Orvanta::ShadowMapSet& set;
};

// Writes a shader file (in the engine's shader file format) with the given GLSL and includes.
std::string writeShaderFile(const std::string& directory, const std::string& name,
    const std::vector<std::string>& includes, const std::string& code);

// True when the program linked; otherwise the driver's log is added to the failure message.
bool programLinked(const Orvanta::ShaderProgram* program, std::string& log);

// The R16F colour texture of a map, read back as floats (row 0 at the bottom).
std::vector<float> readShadowMap(const Orvanta::FrameBuffer& frameBuffer);

// The light depth the depth fill stores for a texel, decoded (the inverse of its encoding).
float decodeStoredDepth(float stored);

}  // namespace ShadowTest
