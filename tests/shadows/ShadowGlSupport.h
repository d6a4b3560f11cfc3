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

// A pane for the sun maps' transmittance pass, with its optics given by hand.
struct Pane {
    FlatQuad quad;
    float reflectance;
    float transmission;  // grey
};

// Draws the given casters with a z-fill program into whatever map is being rendered, whichever
// view is asked for, and counts the draws; in the panes' pass it draws the given panes with the
// transmittance program, their reflectance and transmission colour set by hand.
class CasterDrawing : public Orvanta::SceneDrawing {
public:
    CasterDrawing(const Orvanta::ShaderProgram* zFillProgram, std::vector<FlatQuad> quads, int* draws,
                  const Orvanta::ShaderProgram* transmittanceProgram = nullptr, std::vector<Pane> paneQuads = {})
        : zFill(zFillProgram), transmittance(transmittanceProgram), casters(std::move(quads)),
          panes(std::move(paneQuads)), drawCount(draws)
    {
    }
    void drawScene(Orvanta::ScenePassKind kind, Orvanta::SceneView&, const Orvanta::ProgramInputs&) override
    {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_CULL_FACE);
        if (kind == Orvanta::ScenePassKind::ShadowTransmittance) {
            if (!transmittance)
                return;
            Orvanta::glUseProgramObjectARB(transmittance->program);
            for (const Pane& pane : panes) {
                Orvanta::glUniform1fARB(Orvanta::glGetUniformLocationARB(transmittance->program, "reflectance"),
                                        pane.reflectance);
                Orvanta::glUniform3fARB(Orvanta::glGetUniformLocationARB(transmittance->program, "transmissionColor"),
                                        pane.transmission, pane.transmission, pane.transmission);
                const int normal = Orvanta::glGetAttribLocationARB(transmittance->program, "vertexNormal");
                if (normal >= 0)
                    Orvanta::glVertexAttrib3fARB(normal, 0.0f, 1.0f, 0.0f);
                drawFlatQuad(pane.quad);
            }
            Orvanta::glUseProgramObjectARB(0);
            return;
        }
        Orvanta::glUseProgramObjectARB(zFill->program);
        for (const FlatQuad& q : casters)
            drawFlatQuad(q);
        Orvanta::glUseProgramObjectARB(0);
        if (drawCount)
            ++*drawCount;
    }

private:
    const Orvanta::ShaderProgram* zFill;
    const Orvanta::ShaderProgram* transmittance;
    std::vector<FlatQuad> casters;
    std::vector<Pane> panes;
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
