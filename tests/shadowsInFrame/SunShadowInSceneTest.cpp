// The shadow passes inside the renderer's frame, in a process of their own: the program cache is
// process-wide, so programs built for another context earlier in a process would not draw here.
// The renderer's small test world (a ground slab and a box in front of the camera, lit by the
// start-up sun) is reused.
#include "renderer/RendererTestScene.cpp"
#include "support/RendererTestAccess.h"

#include <gtest/gtest.h>

#include <iostream>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

// Mean brightness of a small square of the picture around a world point on the ground.
double brightnessAt(const std::vector<uint8_t>& pixels, Float3 world)
{
    Renderer& r = *testWorld().renderer;
    Float3 clip = transformPoint(r.camera().viewProjectionMatrix, world);
    const Matrix4& m = r.camera().viewProjectionMatrix;
    float w = m[3] * world.x + m[7] * world.y + m[11] * world.z + m[15];
    int x = static_cast<int>((clip.x / w * 0.5f + 0.5f) * r.width());
    int y = r.height() - 1 - static_cast<int>((clip.y / w * 0.5f + 0.5f) * r.height());
    return meanColor(pixels, r.width(), x - 2, y - 2, x + 2, y + 2).sum();
}

}  // namespace

TEST(SunShadowInScene, TheBoxShadowsTheGroundWhereTheSunPutsItAndOnlyWhileItCastsShadows)
{
    ORVANTA_REQUIRE_GL();
    TestWorld& world = testWorld();
    ASSERT_NE(world.renderer, nullptr) << world.logged;
    Renderer& r = *world.renderer;
    ASSERT_NE(RendererTestAccess::shadowMaps(r).zFillProgram, nullptr);
    showInstances(world.instances);
    // The visibility update would fill the shadow cameras' views too; here every instance is in.
    for (ShadowMapRecord& cascade : RendererTestAccess::shadowMaps(r).cascades) {
        cascade.camera.clearVisibleSets();
        for (ObjectInstance* instance : world.instances)
            cascade.camera.addVisible(instance);
    }

    // The start-up sun travels towards -x and +z: the box (x -2..2, y 0..4, z 4..8) throws its
    // shadow to its left; the ground to its right is lit.
    const Float3 shadowed{-4.0f, 0.0f, 6.0f};
    const Float3 lit{4.0f, 0.0f, 6.0f};
    std::vector<uint8_t> pixels = renderPixels();
    double inShadow = brightnessAt(pixels, shadowed);
    double inLight = brightnessAt(pixels, lit);
    EXPECT_GT(inLight, 30.0);
    EXPECT_LT(inShadow, inLight * 0.6) << "shadowed " << inShadow << ", lit " << inLight;
    std::string picture = makeTempDir("sun-shadow-frame") + "/frame.png";
    std::string error;
    EXPECT_TRUE(writePng(picture, r.width(), r.height(), pixels, error)) << error;
    std::cout << "frame with the box's shadow: " << picture << "\n";

    // Every cascade was placed around its slice of this camera's view.
    for (const ShadowMapRecord& cascade : RendererTestAccess::shadowMaps(r).cascades)
        EXPECT_GT(cascade.uvSpaceSunLightRadius, 0.0f);

    // The same box with shadow casting off leaves the ground lit.
    Material* material = world.box->object->submeshes[0].material->material;
    material->castShadows = false;
    pixels = renderPixels();
    material->castShadows = true;
    EXPECT_GT(brightnessAt(pixels, shadowed), inLight * 0.8);
}
