#include "RendererTestScene.h"

#include "content/Object.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/GlStateCheck.h"
#include "renderer/LightPropagationVolumePasses.h"
#include "renderer/LightPropagationVolumeUniforms.h"
#include "scene/Light.h"
#include "support/GlTestContext.h"

#include "scene/Math.h"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>

using namespace OrvantaTest;
using namespace Orvanta;

namespace {

Renderer& renderer()
{
    return *testWorld().renderer;
}

LightPropagationVolumeSet& volumes()
{
    return RendererTestAccess::lightPropagationVolumes(renderer());
}

// The volume passes draw through the renderer's framebuffer stack, texture units, scene and values.
PassContext passContext()
{
    return RendererTestAccess::passContext(renderer());
}

// What the frame hands the volumes' update: the sun, the camera and the renderer's switches.
VolumeUpdateInputs updateInputs()
{
    VolumeUpdateInputs inputs;
    inputs.sun = renderer().sun();
    inputs.cameraPosition = renderer().camera().position;
    inputs.propagateSunLighting = renderer().featureOn(PropagateSunLighting);
    inputs.propagateSkyLighting = renderer().featureOn(PropagateSkyLighting);
    inputs.occlusion = renderer().renderSettingOn(LpvOcclusion);
    return inputs;
}

// The frame's three update stages over every volume; the geometry volumes with occlusion on.
void updateVolumes()
{
    const VolumeUpdateInputs inputs = updateInputs();
    injectVolumeLights(passContext(), volumes(), inputs);
    if (inputs.occlusion)
        fillGeometryVolumes(passContext(), volumes(), inputs);
    propagateVolumeLight(passContext(), volumes(), inputs);
}

void propagateOneStep(LightPropagationVolumeSet& set, int index, unsigned step = 0)
{
    Orvanta::propagateOneStep(passContext(), set, index, step, updateInputs());
}

// The RGB texels of one attachment, bottom row first.
std::vector<float> readAttachment(const FrameBuffer& target, int attachment, GLenum format = GL_RGB)
{
    int channels = format == GL_RGBA ? 4 : 3;
    std::vector<float> texels(static_cast<size_t>(target.width * target.height * channels));
    glBindTexture(GL_TEXTURE_2D, target.colorTexture(static_cast<size_t>(attachment))->name);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

void clearTarget(FrameBuffer& target)
{
    RendererTestAccess::frameBufferStack(renderer()).push(&target);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    RendererTestAccess::frameBufferStack(renderer()).pop();
}

// The same four coefficients (constant, x, y, z) on all three colour channels.
struct Coefficients {
    float c0 = 0.0f;
    float cx = 0.0f;
    float cy = 0.0f;
    float cz = 0.0f;
};

constexpr float LobeLinearRatio = 1.154701f;

void writeCell(FrameBuffer& target, const VolumeGrid& grid, VolumeCell cell, Coefficients c)
{
    int column = 0;
    int row = 0;
    volumeTexel(grid, cell, column, row);
    const float values[4] = {c.c0, c.cx, c.cy, c.cz};
    for (int a = 0; a < 4; ++a) {
        const float rgb[3] = {values[a], values[a], values[a]};
        glBindTexture(GL_TEXTURE_2D, target.colorTexture(static_cast<size_t>(a))->name);
        glTexSubImage2D(GL_TEXTURE_2D, 0, column, row, 1, 1, GL_RGB, GL_FLOAT, rgb);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Green channel of one cell in a readback of an attachment.
float cellValue(const std::vector<float>& texels, const VolumeGrid& grid, VolumeCell cell)
{
    int column = 0;
    int row = 0;
    volumeTexel(grid, cell, column, row);
    return texels[static_cast<size_t>((row * grid.width * grid.height + column) * 3 + 1)];
}

double total(const std::vector<float>& texels)
{
    double sum = 0.0;
    for (float v : texels)
        sum += v;
    return sum;
}

// Total of the constant coefficient over a target, all channels.
double totalLight(const FrameBuffer& target)
{
    return total(readAttachment(target, 0));
}

// The state every pass finds and must leave: depth test on with GL_LEQUAL, depth writes on,
// blending off, back-face culling on, colour writes on.
void enterConventionState()
{
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

// Volume 1 (cells of 1.0) emptied and given one light, ready for propagation; its geometry
// volume emptied too unless kept (as the last frame filled it).
LightPropagationVolume& volumeWithOneLight(VolumeCell cell, Coefficients light, bool keepGeometry = false)
{
    LightPropagationVolume& volume = volumes().volumes[1];
    volume.position = {0.0f, 0.0f, 0.0f};
    clearTarget(volume.accumulation);
    clearTarget(volume.propagationA);
    clearTarget(volume.propagationB);
    if (!keepGeometry)
        clearTarget(volumes().geometry.volumes[1]);
    writeCell(volume.accumulation, volume.grid(), cell, light);
    enterConventionState();
    return volume;
}

VolumeCell offset(VolumeCell c, int dx, int dy, int dz)
{
    return {c.x + dx, c.y + dy, c.z + dz};
}

// A red floor slab lit by the start sun, and a grey wall standing on it whose +x face the sun
// lights, seen from the floor's lit side.
struct RedFloorScene {
    ObjectInstance* floor = nullptr;
    ObjectInstance* wall = nullptr;
    Float3 cameraPosition{6.0f, 1.5f, 0.0f};
    Quaternion cameraOrientation = fromAxisAngle({0.0f, 1.0f, 0.0f}, -EnginePi / 2.0f) *
                                   fromAxisAngle({1.0f, 0.0f, 0.0f}, 0.15f);
};

RedFloorScene& redFloorScene()
{
    static RedFloorScene scene;
    if (!scene.floor) {
        Object* floor = makeBox({-20, -1, -20}, {20, 0, 20}, opaqueMaterial(), false);
        floor->submeshes[0].material->colorTexture = solidTexture(200, 20, 20).release();
        Object* wall = makeBox({-3, 0, -8}, {-2, 6, 8}, opaqueMaterial(), false);
        wall->submeshes[0].material->colorTexture = solidTexture(128, 128, 128).release();
        scene.floor = new ObjectInstance(floor, {0, 0, 0}, {1, 1, 1}, {});
        scene.wall = new ObjectInstance(wall, {0, 0, 0}, {1, 1, 1}, {});
    }
    return scene;
}

// Shows a hand-built scene to the camera and to every volume's map camera, as the visibility
// update would, with a camera pose; puts the test world's view, pose and switches back when done.
class ShownScene {
public:
    ShownScene(const std::vector<ObjectInstance*>& instances, Float3 position, Quaternion orientation)
    {
        Renderer& r = renderer();
        savedPosition = r.camera().position;
        savedOrientation = r.camera().orientation;
        for (int i = 0; i < FeatureSwitchCount; ++i)
            savedSwitches[i] = r.featureOn(static_cast<FeatureSwitch>(i));
        r.setCameraPose(position, orientation);
        showInstances(instances);
        // The sun's colour and the sky map, which injection reads, as the first frame makes them.
        RendererTestAccess::updateSunAndSkyMap(r);
        for (LightPropagationVolume& volume : volumes().volumes) {
            volume.reflectiveShadowMapCamera.clearVisibleSets();
            for (ObjectInstance* instance : instances)
                volume.reflectiveShadowMapCamera.addVisible(instance);
        }
    }
    ~ShownScene()
    {
        Renderer& r = renderer();
        for (LightPropagationVolume& volume : volumes().volumes)
            volume.reflectiveShadowMapCamera.clearVisibleSets();
        for (int i = 0; i < FeatureSwitchCount; ++i)
            r.setFeature(static_cast<FeatureSwitch>(i), savedSwitches[i]);
        r.setCameraPose(savedPosition, savedOrientation);
        showInstances(testWorld().instances);
    }

private:
    Float3 savedPosition;
    Quaternion savedOrientation;
    bool savedSwitches[FeatureSwitchCount] = {};
};

std::vector<float> hdrSceneAfterFrame()
{
    renderPixels();
    return readAttachment(RendererTestAccess::hdrSet(renderer()).scene, 0, GL_RGBA);
}

// Mean HDR colour over the pixels around a world point's image (rows counted from the bottom).
struct Mean {
    double r = 0, g = 0, b = 0;
};
Mean meanAround(const std::vector<float>& rgba, Float3 worldPoint, int halfWidth, int halfHeight)
{
    Renderer& r = renderer();
    int width = RendererTestAccess::hdrSet(r).scene.width;
    int height = RendererTestAccess::hdrSet(r).scene.height;
    Float3 ndc = transformPoint(r.camera().viewProjectionMatrix, worldPoint);
    int cx = static_cast<int>((ndc.x * 0.5f + 0.5f) * static_cast<float>(width));
    int cy = static_cast<int>((ndc.y * 0.5f + 0.5f) * static_cast<float>(height));
    Mean mean;
    int n = 0;
    for (int y = cy - halfHeight; y <= cy + halfHeight; ++y)
        for (int x = cx - halfWidth; x <= cx + halfWidth; ++x) {
            if (x < 0 || y < 0 || x >= width || y >= height)
                continue;
            const float* p = &rgba[static_cast<size_t>((y * width + x) * 4)];
            mean.r += p[0], mean.g += p[1], mean.b += p[2];
            ++n;
        }
    if (n > 0)
        mean.r /= n, mean.g /= n, mean.b /= n;
    return mean;
}

}  // namespace

TEST(LightPropagationVolumes, ThreeNestedVolumesWithTheirMapsAndLayeredTargets)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr) << testWorld().logged;
    const float cellSizes[3] = {0.5f, 1.0f, 3.5f};
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        const LightPropagationVolume& v = volumes().volumes[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(v.width, 32u);
        EXPECT_EQ(v.height, 32u);
        EXPECT_EQ(v.length, 32u);
        EXPECT_EQ(v.cellSize, cellSizes[i]);
        EXPECT_EQ(v.propagationSteps, i < 2 ? 16u : 8u);
        EXPECT_EQ(v.lightsWeight, 0.0625f);
        EXPECT_EQ(v.glossyReflections, i == 0 ? 1 : 0);
        EXPECT_EQ(v.skyInjection, i == 2 ? 1 : 0);
        EXPECT_EQ(v.sunPoints.count, 128 * 128);
        EXPECT_EQ(v.skyPoints.count, i == 2 ? 128 * 128 : 0);
        EXPECT_EQ(v.reflectiveShadowMap.width, 128);
        ASSERT_EQ(v.reflectiveShadowMap.colorTextures.size(), 2u);
        ASSERT_NE(v.reflectiveShadowMapDepth, nullptr);
        for (const FrameBuffer* target : {&v.propagationA, &v.propagationB, &v.accumulation}) {
            EXPECT_EQ(target->width, 1024);
            EXPECT_EQ(target->height, 32);
            ASSERT_EQ(target->colorTextures.size(), 4u);
            for (const auto& texture : target->colorTextures) {
                GLint format = 0;
                glBindTexture(GL_TEXTURE_2D, texture->name);
                glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
                EXPECT_EQ(format, GL_RGB16F);
            }
        }
        // The depth texture is the map's depth attachment and its third texture semantic.
        glBindFramebuffer(GL_FRAMEBUFFER, v.reflectiveShadowMap.framebufferId);
        GLint depthName = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &depthName);
        EXPECT_EQ(static_cast<uint32_t>(depthName), v.reflectiveShadowMapDepth->name);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, RendererTestAccess::windowFramebuffer(renderer()));
    EXPECT_NE(volumes().reflectiveShadowMapProgram, nullptr);
}

TEST(LightPropagationVolumes, SurfacesReadNoLightFromABeamRunningAlongThem)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    // Four cells' light against closed forms, one per pixel: a beam of intensity 1 travelling along
    // +x (its coefficients Y0 and Y1 (1, 0, 0)) on a surface it runs along, the same beam on a
    // surface facing it, an even light (pi times 1 on any surface) and a cosine lobe along +x
    // seen from the side (two bands: a quarter of the facing value).
    std::string path = makeTempDir("lpv-surface-irradiance") + "/irradiance.shader";
    {
        std::ofstream out(path);
        out << "shader {\nincludes {\nfile = "
               "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader\n}\ncode = \""
               "void main() {\n"
               "  float i = floor(gl_FragCoord.x);\n"
               "  ShCell c; c.c0 = vec3(SH_Y0); c.cx = vec3(SH_Y1); c.cy = vec3(0.0); c.cz = vec3(0.0);\n"
               "  vec3 n = i < 0.5 ? vec3(0.0, 0.0, -1.0) : vec3(-1.0, 0.0, 0.0);\n"
               "  if (i > 1.5) { c.c0 = vec3(4.0 * SH_PI * SH_Y0); c.cx = vec3(0.0); }\n"
               "  if (i > 2.5) { c = shCosineLobe(vec3(1.0, 0.0, 0.0), vec3(SH_PI)); n = vec3(0.0, 0.0, -1.0); }\n"
               "  gl_FragColor = vec4(shSurfaceIrradiance(c, n), 1.0);\n"
               "}\n\"\n}\n";
    }
    ShaderProgram* program = getFragmentProgram(path);
    ASSERT_NE(program, nullptr);
    ASSERT_NE(program->program, 0u);
    FrameBuffer target;
    target.create(4, 1);
    target.addColorAttachment(0, PixelFormatRgb16F, 0, false);
    target.setDrawBuffers();
    enterConventionState();
    RendererTestAccess::frameBufferStack(renderer()).push(&target);
    beginFullScreenPass();
    glUseProgramObjectARB(program->program);
    drawFullScreenQuad({});
    glUseProgramObjectARB(0);
    endFullScreenPass();
    RendererTestAccess::frameBufferStack(renderer()).pop();
    std::vector<float> e = readAttachment(target, 0);
    EXPECT_NEAR(e[0], 0.0f, 1e-3f);  // two bands alone: 0.25
    // Facing the beam: the cosine convolution's 0.75 (the lower reading), never more than 1.
    EXPECT_NEAR(e[3], 0.75f, 2e-3f);
    EXPECT_NEAR(e[6], 3.14159f, 4e-3f);  // an even light is read as before
    // The lobe seen from the side: its even part alone, pi / 12 of its intensity (the cosine
    // convolution gives pi / 4).
    EXPECT_NEAR(e[9], 3.14159f / 12.0f, 2e-3f);
    EXPECT_EQ(conventionStateDifferences(), "");
}

TEST(LightPropagationVolumes, OneStepSpreadsAnEvenLightToItsSixNeighboursAndKeepsItsEnergy)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    int errorsBefore = glErrorTotal();
    VolumeCell centre{16, 16, 16};
    LightPropagationVolume& volume = volumeWithOneLight(centre, {1.0f, 0.0f, 0.0f, 0.0f});
    propagateOneStep(volumes(), 1);

    VolumeGrid grid = volume.grid();
    std::vector<float> c0 = readAttachment(volume.propagationA, 0);
    std::vector<float> cx = readAttachment(volume.propagationA, 1);
    std::vector<float> cy = readAttachment(volume.propagationA, 2);
    EXPECT_EQ(cellValue(c0, grid, centre), 0.0f);
    for (VolumeCell n : {offset(centre, 1, 0, 0), offset(centre, -1, 0, 0), offset(centre, 0, 1, 0),
                         offset(centre, 0, -1, 0), offset(centre, 0, 0, 1), offset(centre, 0, 0, -1)})
        EXPECT_NEAR(cellValue(c0, grid, n), 1.0f / 6.0f, 1e-3f) << n.x << " " << n.y << " " << n.z;
    // Each neighbour's light heads away from the centre.
    EXPECT_GT(cellValue(cx, grid, offset(centre, 1, 0, 0)), 0.1f);
    EXPECT_LT(cellValue(cx, grid, offset(centre, -1, 0, 0)), -0.1f);
    EXPECT_GT(cellValue(cy, grid, offset(centre, 0, 1, 0)), 0.1f);
    EXPECT_NEAR(total(c0), 3.0, 3e-3);  // the light's 1.0 on each channel
    // Nothing reached further than one cell.
    EXPECT_EQ(cellValue(c0, grid, offset(centre, 2, 0, 0)), 0.0f);
    EXPECT_EQ(cellValue(c0, grid, offset(centre, 1, 1, 0)), 0.0f);
    // The accumulation volume now holds the injected light and the step.
    EXPECT_NEAR(totalLight(volume.accumulation), 6.0, 6e-3);
    EXPECT_EQ(glErrorTotal(), errorsBefore);
    EXPECT_EQ(conventionStateDifferences(), "");
}

TEST(LightPropagationVolumes, ALobeTravelsForwardAndTheVolumesEnergyNeverGrows)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    VolumeCell start{12, 16, 16};
    // A cosine lobe along +x, and a lobe sharper than a cosine (linear over constant sqrt(3), the
    // most a light that is nowhere negative can have) whose backward share would be negative.
    LightPropagationVolume& volume = volumeWithOneLight(start, {1.0f, LobeLinearRatio, 0.0f, 0.0f});
    VolumeGrid grid = volume.grid();
    writeCell(volume.accumulation, grid, {16, 8, 8}, {1.0f, 0.0f, 0.0f, -1.732f});
    double injected = 6.0;
    double previous = injected;
    double accumulated = injected;
    // Eight steps, while the light stays inside the volume.
    for (unsigned step = 0; step < 8; ++step) {
        propagateOneStep(volumes(), 1, step);
        const FrameBuffer& written = volume.target(propagationTarget(step));
        double energy = totalLight(written);
        // Half floats round each cell; the total may not grow beyond that rounding.
        EXPECT_LE(energy, previous * (1.0 + 2e-3)) << "step " << step;
        // Nothing leaves while the light is far from the border.
        EXPECT_GE(energy, previous * (1.0 - 2e-3)) << "step " << step;
        if (step == 0) {
            std::vector<float> c0 = readAttachment(written, 0);
            EXPECT_NEAR(cellValue(c0, grid, offset(start, 1, 0, 0)), 1.0f / 3.0f, 1e-3f);
            EXPECT_NEAR(cellValue(c0, grid, offset(start, 0, 0, 1)), 1.0f / 6.0f, 1e-3f);
            // Nothing goes backward (up to the half-float rounding of the lobe's coefficients).
            EXPECT_LT(cellValue(c0, grid, offset(start, -1, 0, 0)), 1e-4f);
        }
        previous = energy;
        accumulated += energy;
    }
    EXPECT_NEAR(totalLight(volume.accumulation), accumulated, accumulated * 2e-3);
    // Eight steps carry the light at most eight cells forward; behind the light only what spread
    // sideways and turned arrives, a trace of what lies ahead.
    std::vector<float> c0 = readAttachment(volume.accumulation, 0);
    EXPECT_GT(cellValue(c0, grid, offset(start, 8, 0, 0)), 0.0f);
    EXPECT_EQ(cellValue(c0, grid, offset(start, 9, 0, 0)), 0.0f);
    EXPECT_LT(cellValue(c0, grid, offset(start, -1, 0, 0)), 0.02f * cellValue(c0, grid, offset(start, 1, 0, 0)));
}

TEST(LightPropagationVolumes, LightLeavingAtALayersEdgeIsLostNotWrappedIntoTheNextLayer)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    VolumeCell edge{31, 10, 16};
    LightPropagationVolume& volume = volumeWithOneLight(edge, {1.0f, LobeLinearRatio, 0.0f, 0.0f});
    VolumeGrid grid = volume.grid();
    propagateOneStep(volumes(), 1);
    std::vector<float> c0 = readAttachment(volume.propagationA, 0);
    // The column after the edge cell is the next layer's first cell: it must stay dark.
    EXPECT_EQ(cellValue(c0, grid, {0, 11, 16}), 0.0f);
    EXPECT_NEAR(total(c0), 3.0 * 2.0 / 3.0, 3e-3);  // the forward third left the volume

    // Likewise through the top layer and the last row: a lobe rising from the top corner row loses
    // its upward third and the sixth headed past the last row.
    volumeWithOneLight({5, 31, 31}, {1.0f, 0.0f, LobeLinearRatio, 0.0f});
    propagateOneStep(volumes(), 1);
    c0 = readAttachment(volume.propagationA, 0);
    EXPECT_NEAR(total(c0), 3.0 * 0.5, 3e-3);
    EXPECT_NEAR(cellValue(c0, grid, {5, 31, 30}), 1.0f / 6.0f, 1e-3f);
}

TEST(LightPropagationVolumes, UpdateInjectsTheLitFloorJustAboveItAndReadsBAndCAfterItsSteps)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    ShownScene shown({scene.floor, scene.wall}, scene.cameraPosition, scene.cameraOrientation);
    int errorsBefore = glErrorTotal();
    enterConventionState();
    updateVolumes();
    EXPECT_EQ(glErrorTotal(), errorsBefore);
    EXPECT_EQ(conventionStateDifferences(), "");
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        LightPropagationVolume& v = volumes().volumes[i];
        SCOPED_TRACE(i);
        // An even number of steps: the last one wrote B, which a step after them would read.
        const VolumeTarget next = sourceVolumeTarget(v.propagationSteps);
        EXPECT_EQ(next, VolumeTarget::PropagationB);
        EXPECT_GT(totalLight(v.propagationB), 0.0);
        EXPECT_EQ(v.position, snappedVolumePosition(scene.cameraPosition, v.cellSize));
        EXPECT_EQ(lightPropagationVolumeTexture(volumes(), i, next, LIGHT_PROPAGATION_VOLUME_TEXTURE0),
                  v.propagationB.colorTexture(0));
        EXPECT_EQ(lightPropagationVolumeTexture(volumes(), i, next, LIGHT_PROPAGATION_VOLUME_TEXTURE3),
                  v.propagationB.colorTexture(3));
        EXPECT_EQ(lightPropagationVolumeTexture(volumes(), i, next, LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE2),
                  v.accumulation.colorTexture(2));
        EXPECT_EQ(lightPropagationVolumeTexture(volumes(), i, next, REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE),
                  v.reflectiveShadowMapDepth.get());
        EXPECT_GT(totalLight(v.accumulation), 0.0);
    }

    // Injection alone: the floor's light sits in the layer half a cell above its top (y = 0).
    renderer().setFeature(PropagateSkyLighting, false);
    injectLights(passContext(), volumes(), 1, updateInputs());
    LightPropagationVolume& v = volumes().volumes[1];
    VolumeGrid grid = v.grid();
    VolumeCell above;
    ASSERT_TRUE(volumeCellAt(grid, {0.0f, 0.5f * grid.cellSize, 0.0f}, above));
    std::vector<float> red = readAttachment(v.accumulation, 0);
    double inLayer = 0.0;
    double elsewhere = 0.0;
    for (int z = 0; z < grid.length; ++z)
        for (int y = 0; y < grid.height; ++y)
            for (int x = 0; x < grid.width; ++x) {
                int column = 0;
                int row = 0;
                volumeTexel(grid, {x, y, z}, column, row);
                float value = red[static_cast<size_t>((row * grid.width * grid.height + column) * 3)];
                (y == above.y ? inLayer : elsewhere) += value;
            }
    EXPECT_GT(inLayer, 0.0);
    // The wall's lit face puts some light into other layers; the floor dominates.
    EXPECT_GT(inLayer, 4.0 * elsewhere);
    // Its lobe points up: the floor's light leaves upward.
    std::vector<float> up = readAttachment(v.accumulation, 2);
    EXPECT_GT(cellValue(up, grid, {above.x, above.y, above.z}), 0.0f);
}

TEST(LightPropagationVolumes, PropagationSwitchesGateSunAndSkyInjection)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    ShownScene shown({scene.floor, scene.wall}, scene.cameraPosition, scene.cameraOrientation);
    Renderer& r = renderer();

    // Sky light alone reaches only the coarsest volume.
    r.setFeature(PropagateSunLighting, false);
    r.setFeature(PropagateSkyLighting, true);
    updateVolumes();
    EXPECT_EQ(totalLight(volumes().volumes[0].accumulation), 0.0);
    EXPECT_EQ(totalLight(volumes().volumes[1].accumulation), 0.0);
    EXPECT_GT(totalLight(volumes().volumes[2].accumulation), 0.0);

    // Sunlight reaches all three.
    r.setFeature(PropagateSunLighting, true);
    r.setFeature(PropagateSkyLighting, false);
    updateVolumes();
    for (const LightPropagationVolume& v : volumes().volumes)
        EXPECT_GT(totalLight(v.accumulation), 0.0);

    // Both off: the volumes hold nothing and drawing them adds nothing to the frame.
    r.setFeature(PropagateSunLighting, false);
    r.setFeature(PropagateSkyLighting, false);
    std::vector<float> withEmptyVolumes = hdrSceneAfterFrame();
    for (const LightPropagationVolume& v : volumes().volumes) {
        EXPECT_EQ(totalLight(v.accumulation), 0.0);
        EXPECT_EQ(totalLight(v.propagationB), 0.0);
    }
    r.setFeature(LightPropagationVolumes, false);
    std::vector<float> withoutVolumes = hdrSceneAfterFrame();
    ASSERT_EQ(withEmptyVolumes.size(), withoutVolumes.size());
    size_t differing = 0;
    for (size_t i = 0; i < withoutVolumes.size(); ++i)
        differing += withEmptyVolumes[i] != withoutVolumes[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u);
}

// The sky light a sunlit surface bounces is the sky it sees. A roof of occlusion quads (which
// casts no sun shadow) 5 units over the whole red floor leaves it sunlit but shows it hardly any
// sky: the coarsest volume, which alone carries the sky's bounce, holds a small part of it.
TEST(LightPropagationVolumes, SurfacesBounceOnlyTheSkyTheySee)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    ShownScene shown({scene.floor}, scene.cameraPosition, scene.cameraOrientation);
    Renderer& r = renderer();
    r.setFeature(PropagateSunLighting, false);
    r.setFeature(PropagateSkyLighting, true);
    auto skyBounceUnder = [&](const std::vector<Float3>& corners) {
        r.setSkyOcclusionCorners(corners);
        renderPixels();  // writes the sky lighting volume for the quads
        updateVolumes();
        return totalLight(volumes().volumes[2].accumulation);
    };
    const double open = skyBounceUnder({});
    const double roofed = skyBounceUnder({{60, 5, -60}, {-60, 5, -60}, {-60, 5, 60}, {60, 5, 60}});
    skyBounceUnder({});
    EXPECT_GT(open, 0.0);
    EXPECT_LT(roofed, 0.15 * open) << "open " << open;
}

TEST(LightPropagationVolumes, ALitRedFloorMakesTheGreyWallsFootRedder)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    ShownScene shown({scene.floor, scene.wall}, scene.cameraPosition, scene.cameraOrientation);
    Renderer& r = renderer();
    int errorsBefore = glErrorTotal();
    int violationsBefore = conventionViolationTotal();
    Float3 wallFoot{-2.0f, 0.4f, 0.0f};
    Float3 ndc = transformPoint(r.camera().viewProjectionMatrix, wallFoot);
    ASSERT_LT(std::fabs(ndc.x), 0.8f);
    ASSERT_LT(std::fabs(ndc.y), 0.8f);

    r.setFeature(LightPropagationVolumes, false);
    Mean off = meanAround(hdrSceneAfterFrame(), wallFoot, 4, 1);
    r.setFeature(LightPropagationVolumes, true);
    Mean on = meanAround(hdrSceneAfterFrame(), wallFoot, 4, 1);
    double addedRed = on.r - off.r;
    double addedGreen = on.g - off.g;
    // Half the foot's view is red floor: its bounce is a sizeable share of the direct light, and
    // mostly red (the volumes' leak of the wall's own grey light is a minor part).
    EXPECT_GT(addedRed, 0.1 * off.r) << "off " << off.r << " " << off.g << " " << off.b << ", on " << on.r << " "
                                     << on.g << " " << on.b;
    EXPECT_GT(addedRed, 2.5 * addedGreen);
    EXPECT_GT(on.r / on.g, 1.1 * off.r / off.g);
    EXPECT_EQ(glErrorTotal(), errorsBefore);
    EXPECT_EQ(conventionViolationTotal(), violationsBefore);
}

namespace {

// A floor 120 units wide, under everything the volume tests look at.
ObjectInstance* wideFloor()
{
    static ObjectInstance* floor = new ObjectInstance(makeBox({-60, -1, -60}, {60, 0, 60}, opaqueMaterial(), false),
                                                      {0, 0, 0}, {1, 1, 1}, {});
    return floor;
}

// Looking down over the wide floor, from inside volume 0 out past volume 1's border.
const Float3 overFloorEye{0.3f, 4.0f, 0.2f};
Quaternion overFloorOrientation()
{
    return fromAxisAngle({1.0f, 0.0f, 0.0f}, 0.7f);
}

// The G-buffer of the floor seen from over it, and what the volumes draw on it when every cell of
// every volume holds the same even light of the given level: the diffuse light alone and with
// the glossy reflections.
struct EvenVolumeLight {
    std::vector<float> light;
    std::vector<float> withGlossy;
    std::vector<float> albedo;
    std::vector<float> position;
};

EvenVolumeLight evenVolumeLightOnTheFloor(float level)
{
    Renderer& r = renderer();
    for (LightPropagationVolume& v : volumes().volumes) {
        placeLightPropagationVolume(v, r.sun()->direction, overFloorEye);
        std::vector<float> even(static_cast<size_t>(v.accumulation.width * v.accumulation.height * 3), level);
        std::vector<float> none(even.size(), 0.0f);
        for (int a = 0; a < 4; ++a) {
            glBindTexture(GL_TEXTURE_2D, v.accumulation.colorTexture(static_cast<size_t>(a))->name);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, v.accumulation.width, v.accumulation.height, GL_RGB, GL_FLOAT,
                            a == 0 ? even.data() : none.data());
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    RendererTestAccess::loadViewMatrices(r);
    RendererTestAccess::frameBufferStack(r).push(&RendererTestAccess::gBuffer(r).frameBuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    passContext().scene.drawScene(ScenePassKind::DeferredWrite, r.camera());
    RendererTestAccess::frameBufferStack(r).pop();
    const FrustumVectors rays = unitDepthFrustumVectors(r.camera());

    FrameBuffer target;
    target.create(RendererTestAccess::gBuffer(r).frameBuffer.width, RendererTestAccess::gBuffer(r).frameBuffer.height);
    target.addColorAttachment(0, PixelFormatRgba16F, 0, false);
    target.setDrawBuffers();
    EvenVolumeLight out;
    RendererTestAccess::frameBufferStack(r).push(&target);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < LightPropagationVolumeCount; ++i)
        drawVolumeDiffuse(passContext(), volumes(), i, {nullptr, &rays});
    RendererTestAccess::frameBufferStack(r).pop();
    out.light = readAttachment(target, 0, GL_RGBA);
    // The frame's drawing: the same diffuse light plus volume 0's glossy reflections.
    RendererTestAccess::frameBufferStack(r).push(&target);
    glClear(GL_COLOR_BUFFER_BIT);
    drawLightPropagationVolumes(passContext(), volumes(), {nullptr, &rays});
    RendererTestAccess::frameBufferStack(r).pop();
    out.withGlossy = readAttachment(target, 0, GL_RGBA);
    out.albedo = readAttachment(RendererTestAccess::gBuffer(r).frameBuffer, 0, GL_RGBA);
    out.position = readAttachment(RendererTestAccess::gBuffer(r).frameBuffer, 4, GL_RGBA);
    return out;
}

}  // namespace

TEST(LightPropagationVolumes, NestedVolumesShareEachPixelEvenlyAndOnlyTheFinestAddsGlossyLight)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    const Float3 eye = overFloorEye;
    ShownScene shown({wideFloor()}, eye, overFloorOrientation());
    const float level = 1.0f;
    const EvenVolumeLight drawn = evenVolumeLightOnTheFloor(level);
    const std::vector<float>& light = drawn.light;
    const std::vector<float>& withGlossy = drawn.withGlossy;
    const std::vector<float>& albedo = drawn.albedo;
    const std::vector<float>& position = drawn.position;

    // Even light of constant coefficient c gives irradiance 0.886227 c on any surface, whatever
    // volume it comes from; the floor's colour over pi turns it into reflected light.
    VolumeGrid finest = volumes().volumes[0].grid();
    Float3 finestLow = finest.minimumCorner();
    Float3 finestHigh = finestLow + finest.extent();
    int glossyInside = 0;
    int glossyOutside = 0;
    float nearest = 1e9f;
    float farthest = 0.0f;
    for (size_t p = 0; p < light.size() / 4; ++p) {
        ASSERT_GT(albedo[p * 4], 0.5f) << "pixel " << p << " does not see the floor";
        Float3 world{position[p * 4], position[p * 4 + 1], position[p * 4 + 2]};
        float distance = length(world - eye);
        nearest = std::fmin(nearest, distance);
        farthest = std::fmax(farthest, distance);
        float expected = albedo[p * 4] / EnginePi * 0.886227f * level;
        ASSERT_NEAR(light[p * 4], expected, 0.01f * expected) << "pixel " << p << " at distance " << distance;

        // Glossy light of even light is its radiance 0.282095 c times the specular intensity,
        // where volume 0 reaches; nothing anywhere else.
        float glossy = withGlossy[p * 4] - light[p * 4];
        bool insideFinest = world.x > finestLow.x && world.x < finestHigh.x && world.z > finestLow.z &&
                            world.z < finestHigh.z;
        bool plateau = world.x > finestLow.x + 2.0f && world.x < finestHigh.x - 2.0f && world.z > finestLow.z + 2.0f &&
                       world.z < finestHigh.z - 2.0f;
        if (plateau) {
            ASSERT_NEAR(glossy, 0.282095f * level * albedo[p * 4 + 3], 0.003f * level) << "pixel " << p;
            glossyInside += 1;
        } else if (!insideFinest) {
            ASSERT_EQ(glossy, 0.0f) << "pixel " << p << " at distance " << distance;
            glossyOutside += 1;
        }
    }
    EXPECT_GT(glossyInside, 100);
    EXPECT_GT(glossyOutside, 100);
    // The view spans volume 0's border (about 8 units out) and volume 1's (about 16).
    EXPECT_LT(nearest, 6.0f);
    EXPECT_GT(farthest, 18.0f);
}

// The volumes have no walls at the scale of their coarse cells, so a surface takes their light
// only as far as the sky reaches it past the scene's occlusion quads. Quads alone (nothing drawn)
// close a box 4 high over x -3..3, z 2..8 of the floor: the sky lighting volume's cells centred
// at x -1 and 1, z 3 to 7 and heights 1 and 3 lie inside it. The floor under them gets none of
// the volumes' light; floor well away from the box gets what it gets without quads.
TEST(LightPropagationVolumes, FloorClosedInByOcclusionQuadsTakesNoVolumeLight)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    Renderer& r = renderer();
    ShownScene shown({wideFloor()}, overFloorEye, overFloorOrientation());
    const std::vector<Float3> box = occlusionBox({-3, 0, 2}, {3, 4, 8}, true);
    // The volumes read the sky lighting volume even while the sky's own light is switched off.
    r.setFeature(SkyLighting, false);
    r.setSkyOcclusionCorners(box);
    renderPixels();  // writes the sky lighting volume for the quads
    const float level = 1.0f;
    const EvenVolumeLight drawn = evenVolumeLightOnTheFloor(level);
    r.setSkyOcclusionCorners({});

    int inside = 0;
    int away = 0;
    for (size_t p = 0; p < drawn.light.size() / 4; ++p) {
        Float3 world{drawn.position[p * 4], drawn.position[p * 4 + 1], drawn.position[p * 4 + 2]};
        float expected = drawn.albedo[p * 4] / EnginePi * 0.886227f * level;
        if (std::fabs(world.x) < 1.0f && world.z > 3.0f && world.z < 7.0f) {
            ASSERT_LT(drawn.light[p * 4], 0.02f * expected) << "pixel " << p << " inside the box";
            inside += 1;
        } else if (std::fabs(world.x) > 12.0f || world.z > 18.0f) {
            ASSERT_NEAR(drawn.light[p * 4], expected, 0.05f * expected) << "pixel " << p << " away from the box";
            away += 1;
        }
    }
    EXPECT_GT(inside, 50);
    EXPECT_GT(away, 100);
}

namespace {

// Every texel of a volume's four coefficient targets (or its geometry volume), for comparisons.
std::vector<float> volumeTexels(const FrameBuffer& target)
{
    std::vector<float> all;
    for (size_t a = 0; a < target.colorTextures.size(); ++a) {
        std::vector<float> texels = readAttachment(target, static_cast<int>(a));
        all.insert(all.end(), texels.begin(), texels.end());
    }
    return all;
}

// Mean constant coefficient (green) over a block of cells, bounds inclusive.
double meanOverCells(const std::vector<float>& c0, const VolumeGrid& grid, VolumeCell lo, VolumeCell hi)
{
    double sum = 0.0;
    int n = 0;
    for (int z = lo.z; z <= hi.z; ++z)
        for (int y = lo.y; y <= hi.y; ++y)
            for (int x = lo.x; x <= hi.x; ++x, ++n)
                sum += cellValue(c0, grid, {x, y, z});
    return n > 0 ? sum / n : 0.0;
}

// Volume 1's light after its steps from one lobe, keeping the geometry volume the last frame
// filled; with the occlusion setting as given.
std::vector<float> propagatedFromOneLobe(VolumeCell cell, Coefficients light, bool occlusion)
{
    LightPropagationVolume& volume = volumeWithOneLight(cell, light, true);
    renderer().setRenderSetting(LpvOcclusion, occlusion);
    for (unsigned step = 0; step < volume.propagationSteps; ++step)
        propagateOneStep(volumes(), 1, step);
    renderer().setRenderSetting(LpvOcclusion, true);
    return readAttachment(volume.accumulation, 0);
}

// A hollow box of 0.25-thick slabs with outer corners lo, hi; without its -x slab when open.
std::vector<ObjectInstance*> hollowBox(Float3 lo, Float3 hi, bool open)
{
    const float t = 0.25f;
    std::vector<ObjectInstance*> slabs = {
        makeBoxInstance(lo, {hi.x, lo.y + t, hi.z}), makeBoxInstance({lo.x, hi.y - t, lo.z}, hi),
        makeBoxInstance({hi.x - t, lo.y, lo.z}, hi), makeBoxInstance(lo, {hi.x, hi.y, lo.z + t}),
        makeBoxInstance({lo.x, lo.y, hi.z - t}, hi)};
    if (!open)
        slabs.push_back(makeBoxInstance(lo, {lo.x + t, hi.y, hi.z}));
    return slabs;
}

}  // namespace

TEST(LightPropagationOcclusion, AWallStopsLightCrossingItKeepsItAtItsFaceAndLetsLightRunningAlongItPass)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    ShownScene shown({scene.floor, scene.wall}, scene.cameraPosition, scene.cameraOrientation);
    // The frame fills the geometry volumes from the map and the G-buffer: the wall's lit face at
    // x = -2 lies on volume 1's cell corners 8 (its cells start at x = -10).
    renderPixels();
    const VolumeGrid grid = volumes().volumes[1].grid();
    ASSERT_EQ(grid.minimumCorner().x, -10.0f);
    ASSERT_EQ(grid.minimumCorner().y, -15.0f);

    // A lobe heading at the wall from two cells in front of it, at height 2..3 (cell y 17).
    const Coefficients towardWall{1.0f, -LobeLinearRatio, 0.0f, 0.0f};
    std::vector<float> free = propagatedFromOneLobe({10, 17, 16}, towardWall, false);
    std::vector<float> held = propagatedFromOneLobe({10, 17, 16}, towardWall, true);
    double freeBehind = meanOverCells(free, grid, {0, 0, 0}, {7, 31, 31});
    double heldBehind = meanOverCells(held, grid, {0, 0, 0}, {7, 31, 31});
    ASSERT_GT(freeBehind, 0.0);
    EXPECT_LT(heldBehind, 0.02 * freeBehind);
    // In front of the wall the light is there as before (what it sent back is not counted).
    EXPECT_GT(cellValue(held, grid, {9, 17, 16}), 0.9f * cellValue(free, grid, {9, 17, 16}));

    // One step from an even light in the cells just in front of the wall: the sixth it sends
    // through the wall is gone, the sixths it sends along the wall and away from it arrive whole.
    LightPropagationVolume& volume = volumeWithOneLight({8, 17, 16}, {1.0f, 0.0f, 0.0f, 0.0f}, true);
    propagateOneStep(volumes(), 1);
    std::vector<float> step = readAttachment(volume.propagationA, 0);
    EXPECT_LT(cellValue(step, grid, {7, 17, 16}), 1e-3f);
    for (VolumeCell n : {VolumeCell{9, 17, 16}, VolumeCell{8, 18, 16}, VolumeCell{8, 16, 16}, VolumeCell{8, 17, 15},
                         VolumeCell{8, 17, 17}})
        EXPECT_NEAR(cellValue(step, grid, n), 1.0f / 6.0f, 1e-3f) << n.x << " " << n.y << " " << n.z;
    // The sixth the wall held back is light arriving at its face: the accumulation keeps it in the
    // cell in front, heading into the wall, so it holds as much light as the free step gives (the
    // injected 1 and 6 sixths), none of it behind the wall.
    std::vector<float> kept = readAttachment(volume.accumulation, 0);
    std::vector<float> keptX = readAttachment(volume.accumulation, 1);
    EXPECT_NEAR(cellValue(kept, grid, {8, 17, 16}), 1.0f + 1.0f / 6.0f, 2e-3f);
    EXPECT_NEAR(cellValue(keptX, grid, {8, 17, 16}), -LobeLinearRatio / 6.0f, 2e-3f);
    EXPECT_NEAR(meanOverCells(kept, grid, {0, 0, 0}, {31, 31, 31}) * 32 * 32 * 32, 2.0, 4e-3);
    EXPECT_LT(cellValue(kept, grid, {7, 17, 16}), 1e-3f);
}

TEST(LightPropagationOcclusion, AClosedBoxBesideASunlitWallStaysDarkAndAnOpenOneIsLitThroughItsOpening)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    // The sun lights +x, -z and the tops; the camera stands between a wall and the box and sees
    // the box's -x and +z faces, so that every outer face is seen by the map or the camera.
    const Float3 lo{1.0f, 0.0f, -3.0f};
    const Float3 hi{3.5f, 2.5f, -0.5f};
    const Float3 eye{-0.5f, 1.25f, 2.0f};
    // A grey wall whose lit +x face stands 2.25 in front of the box's -x face.
    static ObjectInstance* wall = makeBoxInstance({-1.5f, 0.0f, -8.0f}, {-1.25f, 4.0f, 4.0f});
    // Looking along (2.75, 0, -3.75), toward the box's middle.
    const Quaternion look = fromAxisAngle({0.0f, 1.0f, 0.0f}, std::atan2(2.75f, -3.75f));
    double inside[2] = {};
    double outside[2] = {};
    for (int open = 0; open < 2; ++open) {
        std::vector<ObjectInstance*> instances = hollowBox(lo, hi, open == 1);
        instances.push_back(scene.floor);
        instances.push_back(wall);
        ShownScene shown(instances, eye, look);
        renderPixels();
        // Volume 0 (cells of 0.5) starts at (-8.5, -7, -6): cells 20..22, 15..17, 7..9 lie within
        // the box's hollow, cell column 18 just outside its -x face, which faces the lit wall.
        const VolumeGrid grid = volumes().volumes[0].grid();
        ASSERT_EQ(grid.minimumCorner(), (Float3{-8.5f, -7.0f, -6.0f}));
        std::vector<float> c0 = readAttachment(volumes().volumes[0].accumulation, 0);
        inside[open] = meanOverCells(c0, grid, {20, 15, 7}, {22, 17, 9});
        outside[open] = meanOverCells(c0, grid, {18, 15, 7}, {18, 17, 9});
    }
    ASSERT_GT(outside[0], 0.0);
    EXPECT_LT(inside[0], 0.02 * outside[0]) << "inside " << inside[0] << ", outside " << outside[0];
    // Open toward the wall, it is lit through the opening well beyond the closed box's bound.
    EXPECT_GT(inside[1], 0.02 * outside[1]) << "inside " << inside[1] << ", outside " << outside[1];
}

TEST(LightPropagationOcclusion, OffPropagatesAsThoughNothingWereInTheWay)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_NE(testWorld().renderer, nullptr);
    RedFloorScene& scene = redFloorScene();
    ShownScene shown({scene.floor, scene.wall}, scene.cameraPosition, scene.cameraOrientation);
    Renderer& r = renderer();
    renderPixels();
    auto accumulations = [&] {
        std::vector<float> all;
        for (const LightPropagationVolume& v : volumes().volumes) {
            std::vector<float> texels = volumeTexels(v.accumulation);
            all.insert(all.end(), texels.begin(), texels.end());
        }
        return all;
    };

    r.setRenderSetting(LpvOcclusion, false);
    updateVolumes();
    std::vector<float> off = accumulations();
    r.setRenderSetting(LpvOcclusion, true);
    updateVolumes();
    std::vector<float> on = accumulations();
    EXPECT_NE(on, off);

    // The occluded step with empty geometry volumes is the free one, bit for bit.
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        injectLights(passContext(), volumes(), i, updateInputs());
        clearTarget(volumes().geometry.volumes[i]);
        for (unsigned step = 0; step < volumes().volumes[i].propagationSteps; ++step)
            propagateOneStep(volumes(), i, step);
    }
    EXPECT_EQ(accumulations(), off);
}
