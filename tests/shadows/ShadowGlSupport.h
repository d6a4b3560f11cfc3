#pragma once
// Small GL scaffolding shared by the shadow tests: flat quads as shadow casters drawn in place of
// the scene, and a uniform source feeding the shadow semantics.
#include "gpu/Semantics.h"
#include "gpu/ShaderProgram.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/PassContext.h"
#include "renderer/ShadowMapRendering.h"
#include "renderer/ShadowUniforms.h"

#include <string>
#include <vector>

namespace ShadowTest {

// A horizontal square at height y, centred on (cx, cz), of half-size h.
struct FlatQuad {
    float cx, y, cz, h;
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

// Draws the given casters with a z-fill program into whatever map is being rendered, whichever
// view is asked for, and counts the draws.
class CasterDrawing : public Orvanta::SceneDrawing {
public:
    CasterDrawing(const Orvanta::ShaderProgram* zFillProgram, std::vector<FlatQuad> quads, int* draws)
        : zFill(zFillProgram), casters(std::move(quads)), drawCount(draws)
    {
    }
    void drawScene(Orvanta::ScenePassKind, Orvanta::SceneView&, const Orvanta::ProgramInputs&) override
    {
        Orvanta::glUseProgramObjectARB(zFill->program);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_CULL_FACE);
        for (const FlatQuad& q : casters)
            drawFlatQuad(q);
        Orvanta::glUseProgramObjectARB(0);
        if (drawCount)
            ++*drawCount;
    }

private:
    const Orvanta::ShaderProgram* zFill;
    std::vector<FlatQuad> casters;
    int* drawCount;
};

// Feeds the shadow semantics from a shadow set, as the renderer's value source does.
class ShadowValueSource : public Orvanta::UniformValueSource {
public:
    explicit ShadowValueSource(const Orvanta::ShadowMapSet& shadowSet) : set(shadowSet) {}
    bool setUniform(Orvanta::UniformSemantic semantic, int location, const Orvanta::UniformContext&) override
    {
        return Orvanta::setShadowUniform(set, semantic, location);
    }
    Orvanta::Texture* texture(Orvanta::UniformSemantic semantic, const Orvanta::UniformContext&) override
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
