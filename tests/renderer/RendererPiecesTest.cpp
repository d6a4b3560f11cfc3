#include "gpu/Material.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/FrustumVectors.h"
#include "renderer/PointLightScissor.h"
#include "renderer/ScenePassKind.h"
#include "renderer/SkyParameters.h"
#include "renderer/TextureUnitTable.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

using namespace Orvanta;

TEST(SkyParameters, RayleighCoefficientsAreFourthPowerRatiosInSinglePrecision)
{
    SkyParameters p = makeSkyParameters();
    float r4 = 6.5f * 6.5f * 6.5f * 6.5f;
    EXPECT_EQ(p.rayleighColorScatteringCoefficients.x, 1.0f);
    EXPECT_EQ(p.rayleighColorScatteringCoefficients.y, r4 / (5.1f * 5.1f * 5.1f * 5.1f));
    EXPECT_NEAR(p.rayleighColorScatteringCoefficients.z, 3.5064, 1e-3);
}

TEST(SkyParameters, MieCoefficientsAreInverseSquareRatiosOfTheWavelengths)
{
    const SkyParameters p = makeSkyParameters();
    const double red = p.redWavelength, green = p.greenWavelength, blue = p.blueWavelength;
    EXPECT_EQ(p.mieColorScatteringCoefficients.x, 1.0f);
    EXPECT_NEAR(p.mieColorScatteringCoefficients.y, (red / green) * (red / green), 1e-6);
    EXPECT_NEAR(p.mieColorScatteringCoefficients.z, (red / blue) * (red / blue), 1e-6);
}

TEST(FrustumVectors, AllFourHaveUnitDepthAlongTheViewingDirection)
{
    Camera camera;
    camera.aspectRatio = 16.0f / 9.0f;
    camera.setPosition({12.5f, 6.2f, -6.0f});
    camera.setOrientation({-0.13794975f, -0.34154350f, -0.050747287f, 0.92845172f});
    camera.updateMatrices();
    FrustumVectors v = unitDepthFrustumVectors(camera);
    Float3 f = viewingDirection(camera);
    for (Float3 ray : {v.topLeft, v.topRight, v.bottomLeft, v.bottomRight})
        EXPECT_NEAR(dot(ray, f), 1.0f, 1e-4f);
    // Top-left lies up and to the left of the view: the camera's up axis separates top from bottom.
    Float3 up = rotate(camera.orientation, {0, 1, 0});
    EXPECT_GT(dot(v.topLeft, up), 0.0f);
    EXPECT_LT(dot(v.bottomRight, up), 0.0f);
}

TEST(PointLightScissor, EnclosesTheLightAndClampsToTheTarget)
{
    Camera camera;
    camera.aspectRatio = 2.0f;
    camera.updateMatrices();
    Light light(LightTypePoint, 1.0f);
    light.setPosition({0, 0, 10});
    light.updateTransform();
    ScissorRect inView = projectedScissor(pointLightBoundingPoints(light), camera.viewProjectionMatrix, 200, 100);
    EXPECT_GT(inView.width, 0);
    EXPECT_LT(inView.width, 200);
    EXPECT_GE(inView.x, 0);
    // A light the camera stands in: points behind the camera make the rectangle the whole target.
    light.setPosition({0, 0, 0});
    light.updateTransform();
    ScissorRect around = projectedScissor(pointLightBoundingPoints(light), camera.viewProjectionMatrix, 200, 100);
    EXPECT_EQ(around.width, 200);
    EXPECT_EQ(around.height, 100);
    // Far off to the side: clamped to the edge, never wrapped to huge values.
    light.setPosition({-100, 0, 10});
    light.updateTransform();
    ScissorRect left = projectedScissor(pointLightBoundingPoints(light), camera.viewProjectionMatrix, 200, 100);
    EXPECT_LE(left.x + left.width, 200);
    EXPECT_EQ(left.width, 0);
}

TEST(ScenePassKind, ProgramsFollowTheMaterialFlags)
{
    ShaderProgram zFill, alphaZFill, gWrite, alphaGWrite;
    ScenePassPrograms programs;
    programs.zFill = &zFill;
    programs.alphaTestedZFill = &alphaZFill;
    programs.defaultGBufferWrite = &gWrite;
    programs.alphaTestedGBufferWrite = &alphaGWrite;
    Material m;
    MaterialPass write;
    write.useDefaultPass = true;
    m.deferredWritePass = &write;
    EXPECT_EQ(chooseScenePass(ScenePassKind::DeferredWrite, m, programs).program, &gWrite);
    EXPECT_EQ(chooseScenePass(ScenePassKind::ZFill, m, programs).program, &zFill);
    EXPECT_TRUE(chooseScenePass(ScenePassKind::ZFill, m, programs).emptyTextureUnits);
    // The sun's maps hold a single-sided surface whichever side the sun sees; the camera's passes
    // and the reflective map cull as the material says.
    programs.shadowZFill = &zFill;
    EXPECT_TRUE(chooseScenePass(ScenePassKind::ShadowZFill, m, programs).bothSides);
    EXPECT_FALSE(chooseScenePass(ScenePassKind::DeferredWrite, m, programs).bothSides);
    EXPECT_FALSE(chooseScenePass(ScenePassKind::ZFill, m, programs).bothSides);
    // A pane (ray-traced, letting light through) tints the sun's maps instead of filling them.
    ShaderProgram transmittance;
    programs.shadowTransmittance = &transmittance;
    EXPECT_EQ(chooseScenePass(ScenePassKind::ShadowTransmittance, m, programs).program, nullptr);
    MaterialPass traced;
    Material pane;
    pane.deferredWritePass = &write;
    pane.raytracedPass = &traced;
    pane.optics.transmissionColor = {0.8f, 0.8f, 0.8f};
    EXPECT_EQ(chooseScenePass(ScenePassKind::ShadowZFill, pane, programs).program, nullptr);
    EXPECT_EQ(chooseScenePass(ScenePassKind::ShadowTransmittance, pane, programs).program, &transmittance);
    EXPECT_TRUE(chooseScenePass(ScenePassKind::ShadowTransmittance, pane, programs).bothSides);
    // The reflective map sees past it the surfaces the sun lights through it.
    ShaderProgram reflective;
    programs.reflectiveShadowMap = &reflective;
    EXPECT_EQ(chooseScenePass(ScenePassKind::ReflectiveShadowMap, m, programs).program, &reflective);
    EXPECT_EQ(chooseScenePass(ScenePassKind::ReflectiveShadowMap, pane, programs).program, nullptr);
    m.isAlphaTested = true;
    EXPECT_EQ(chooseScenePass(ScenePassKind::DeferredWrite, m, programs).program, &alphaGWrite);
    EXPECT_EQ(chooseScenePass(ScenePassKind::ZFill, m, programs).program, &alphaZFill);
    write.useDefaultPass = false;
    EXPECT_EQ(chooseScenePass(ScenePassKind::DeferredWrite, m, programs).program, &write.program);
    m.isTransparent = true;
    EXPECT_EQ(chooseScenePass(ScenePassKind::ZFill, m, programs).program, nullptr);
    EXPECT_EQ(chooseScenePass(ScenePassKind::ShadowZFill, m, programs).program, nullptr);
    MaterialPass sky;
    Material skyMaterial;
    skyMaterial.skyPass = &sky;
    EXPECT_EQ(chooseScenePass(ScenePassKind::Sky, skyMaterial, programs).program, &sky.program);
    EXPECT_EQ(chooseScenePass(ScenePassKind::ZFill, skyMaterial, programs).program, nullptr);
}

TEST(TextureUnitTable, RefusesUnitsBeyondItsSize)
{
    ORVANTA_REQUIRE_GL();
    TextureUnitTable table;
    table.initialise(4, 4);
    Texture2D texture;
    EXPECT_TRUE(table.bind(3, &texture));
    EXPECT_EQ(table.entry(3), &texture);
    EXPECT_FALSE(table.bind(4, &texture));
    EXPECT_FALSE(table.bind(-1, &texture));
    EXPECT_EQ(table.entry(4), nullptr);
    table.unbindAll();
    EXPECT_EQ(table.entry(3), nullptr);
    TextureUnitTable driverSized;
    driverSized.initialise();
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    EXPECT_EQ(driverSized.size(), units);
    EXPECT_FALSE(driverSized.bind(units, &texture));
}
