// Times the sun's shadow passes on the current GL implementation: the five cascaded maps drawn
// from a field of casters, the three overlapped maps, and the soft-shadow lookup of a 1280 x 720
// light pass. Run from the source root (it reads resources/shaders/...).
#include "gpu/Semantics.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/ScissorStack.h"
#include "renderer/ShadowMapRendering.h"
#include "renderer/ShadowUniforms.h"
#include "renderer/TextureUnitTable.h"
#include "scene/Light.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

using namespace Orvanta;

namespace {

constexpr int width = 1280;
constexpr int height = 720;

double milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void box(float x, float z, float h, float top)
{
    const float c[8][3] = {{x - h, 0, z - h},   {x + h, 0, z - h},   {x + h, 0, z + h},   {x - h, 0, z + h},
                           {x - h, top, z - h}, {x + h, top, z - h}, {x + h, top, z + h}, {x - h, top, z + h}};
    const int faces[6][4] = {{4, 7, 6, 5}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}, {0, 3, 2, 1}};
    for (const auto& f : faces)
        for (int i : f)
            glVertex3fv(c[i]);
}

struct Sources : UniformValueSource {
    const ShadowMapSet& set;
    explicit Sources(const ShadowMapSet& s) : set(s) {}
    bool setUniform(UniformSemantic semantic, int location, const UniformContext&) override
    {
        return setShadowUniform(set, semantic, location);
    }
    Texture* texture(UniformSemantic semantic, const UniformContext&) override { return shadowTexture(set, semantic); }
};

std::string writeShader(const std::string& path, const std::string& includes, const std::string& code)
{
    std::ofstream(path) << "shader {\n" << includes << "code = \"" << code << "\"\n}\n";
    return path;
}

}  // namespace

int main()
{
    HeadlessContext context;
    std::string error;
    if (!context.create(width, height, error)) {
        std::fprintf(stderr, "no GL context: %s\n", error.c_str());
        return 1;
    }
    loadExtensions();
    std::printf("GL: %s\n", context.description().c_str());

    ShadowMapSet set;
    createCascadedShadowMaps(set);
    createOverlappedShadowMaps(set);
    createShadowPrograms(set);
    Texture2D noise;
    std::vector<unsigned char> texels(32 * 32 * 4);
    std::mt19937 random(1);
    for (unsigned char& t : texels)
        t = static_cast<unsigned char>(random());
    glBindTexture(GL_TEXTURE_2D, noise.name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    set.samplingNoise = &noise;

    // 400 boxes (2400 quads) on a 100 x 100 ground, in one display list.
    GLuint casters = glGenLists(1);
    glNewList(casters, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex3f(-50, 0, -50);
    glVertex3f(-50, 0, 50);
    glVertex3f(50, 0, 50);
    glVertex3f(50, 0, -50);
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j)
            box(-47.5f + i * 5.0f, -47.5f + j * 5.0f, 0.8f, 1.0f + (i * 7 + j * 3) % 5);
    glEnd();
    glEndList();

    Camera camera;
    camera.aspectRatio = static_cast<float>(width) / height;
    camera.farDistance = 10000.0f;
    camera.setPosition({12.504345f, 6.255634f, -6.039891f});
    camera.setOrientation({-0.13794975f, -0.34154350f, -0.050747287f, 0.92845172f});
    camera.updateMatrices();
    SunLight sun;
    sun.setSunPosition(-0.3454f, -0.80855f);

    // The casters' display list stands in for the scene's shadow z-fill passes.
    struct CasterList : SceneDrawing {
        const ShadowMapSet& set;
        unsigned list;
        CasterList(const ShadowMapSet& shadowSet, unsigned casterList) : set(shadowSet), list(casterList) {}
        void drawScene(ScenePassKind, SceneView&, const ProgramInputs&) override
        {
            glUseProgramObjectARB(set.zFillProgram->program);
            glCallList(list);
            glUseProgramObjectARB(0);
        }
    } casterList(set, casters);
    FrameBufferStack frameBuffers;
    frameBuffers.setWindow(&context);
    ScissorStack scissors;
    TextureUnitTable textureUnits;
    Sources passValues(set);
    const PassContext passes{frameBuffers, scissors, textureUnits, casterList, passValues};
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    const int rounds = 10;
    updateCascadedShadowMaps(passes, set, sun, camera);
    glFinish();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        updateCascadedShadowMaps(passes, set, sun, camera);
    glFinish();
    std::printf("cascaded shadow maps (5 x 2048^2, 2401 quads): %.2f ms\n",
                milliseconds(std::chrono::steady_clock::now() - start) / rounds);

    start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        updateOverlappedShadowMaps(passes, set, sun, camera);
    glFinish();
    std::printf("overlapped shadow maps (3 x 512^2): %.2f ms\n",
                milliseconds(std::chrono::steady_clock::now() - start) / rounds);

    // The lookup: every pixel of a light pass evaluates the soft shadow of a ground point.
    std::string dir = std::filesystem::temp_directory_path() / "orvanta-bench-shadows";
    std::filesystem::create_directories(dir);
    std::string vertex = writeShader(
        dir + "/v.shader", "",
        "varying vec3 worldPosition; void main() { worldPosition = vec3(gl_Vertex.x * 15.0 + 12.0, "
        "0.0, gl_Vertex.y * 15.0 + 5.0); gl_Position = gl_Vertex; }");
    std::string fragment = writeShader(
        dir + "/f.shader", "includes { file = resources/shaders/engine/shadows/softShadows.shader }\n",
        "varying vec3 worldPosition; uniform vec3 eye; void main() { float lit = sunShadowFactor("
        "worldPosition, vec3(0.0, 1.0, 0.0), length(worldPosition - eye), gl_FragCoord.xy / 32.0); "
        "gl_FragColor = vec4(lit, lit, lit, 1.0); }");
    const ShaderProgram* lookup = getProgram(vertex, fragment);
    Sources sources(set);
    glDisable(GL_DEPTH_TEST);
    auto drawLookup = [&] {
        applyPassUniforms(nullptr, nullptr, &sources, *lookup, nullptr);
        glUniform3fARB(glGetUniformLocationARB(lookup->program, "eye"), camera.position.x, camera.position.y,
                       camera.position.z);
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
    };
    drawLookup();
    glFinish();
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        drawLookup();
    glFinish();
    std::printf("soft shadow lookup (%d x %d, 9 + 32 taps): %.2f ms\n", width, height,
                milliseconds(std::chrono::steady_clock::now() - start) / rounds);

    // The last lookup, as a picture of the lit fraction over the ground seen from above.
    std::string picture = dir + "/softShadowLookup.png";
    if (writePng(picture, width, height, context.readPixels(), error))
        std::printf("lit fraction picture: %s\n", picture.c_str());
    else
        std::fprintf(stderr, "%s\n", error.c_str());
    return 0;
}
